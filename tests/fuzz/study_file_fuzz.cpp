// Feeds arbitrary bytes to the study file reader. Refusing a file with an
// AppError is fine; any other exception, a sanitizer report or a study that
// does not survive a save and a second read is a fault.

#include "base/app_error.h"
#include "files/study_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    try {
        const valdex::CalibrationStudy study = valdex::ParseStudyFile(bytes, "fuzz.w8c");
        // Whatever the writer accepts, the reader must load, and writing that
        // again must give the same bytes.
        const std::string saved = valdex::SerializeStudy(study);
        const std::string again = valdex::SerializeStudy(valdex::ParseStudyFile(saved, "fuzz.w8c"));
        if (again != saved) std::abort();
    } catch (const valdex::AppError&) {
    }
    return 0;
}
