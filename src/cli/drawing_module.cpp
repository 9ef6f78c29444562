#include "drawing_module.h"

#include <dlfcn.h>

#include <filesystem>
#include <ostream>
#include <system_error>

namespace valdex::cli {

namespace {

namespace fs = std::filesystem;

constexpr const char* kModuleName = "valdex-cli-qt.so";

// Beside the program in the build tree; where the installation puts it,
// relative to the installed program, otherwise.
std::vector<fs::path> ModuleCandidates() {
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    const fs::path folder = error ? fs::path(".") : program.parent_path();
    return {folder / kModuleName, folder / VALDEX_CLI_MODULE_FROM_BINDIR / kModuleName};
}

} // namespace

int RunDrawingCommand(const std::string& command, const std::vector<std::string>& args, char sep,
                      Streams io) {
    const std::vector<fs::path> candidates = ModuleCandidates();
    std::string problem;
    for (const fs::path& candidate : candidates) {
        std::error_code error;
        if (!fs::is_regular_file(candidate, error)) continue;
        // Never closed: Qt does not unload.
        void* module = ::dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (module == nullptr) {
            const char* why = ::dlerror();
            problem = candidate.string() + ": " + (why ? why : "no se puede cargar");
            break;
        }
        const auto entry =
            reinterpret_cast<DrawingCommandEntry>(::dlsym(module, kDrawingModuleEntry));
        if (entry == nullptr) {
            problem = candidate.string() + ": no es el módulo de dibujo de valdex-cli";
            break;
        }
        return entry(command, args, sep, io);
    }
    if (problem.empty())
        problem = "no se encuentra " + std::string(kModuleName) + " junto al programa ni en " +
                  candidates.back().parent_path().lexically_normal().string();
    io.err << "valdex-cli: el subcomando " << command
           << " necesita el módulo de dibujo: " << problem << ".\n";
    return 1;
}

} // namespace valdex::cli
