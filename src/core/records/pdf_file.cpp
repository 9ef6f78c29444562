#include "records/pdf_file.h"

#include "base/app_error.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace valdex::pdf {

namespace {

[[noreturn]] void Fail(const std::string& what) {
    throw StudyError("El PDF no se puede leer: " + what + ".");
}

bool IsSpace(char c) {
    return c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f' || c == '\0';
}
bool IsDelimiter(char c) {
    return std::strchr("()<>[]{}/%", c) != nullptr && c != '\0';
}

// Nested objects deeper than this are refused, so no file exhausts the stack.
constexpr int kMaxDepth = 64;

class Parser {
public:
    Parser(const std::string& bytes, std::size_t pos) : b_(bytes), pos_(pos) {}
    std::size_t pos() const { return pos_; }

    void SkipSpace() {
        while (pos_ < b_.size()) {
            if (IsSpace(b_[pos_])) {
                ++pos_;
            } else if (b_[pos_] == '%') {
                while (pos_ < b_.size() && b_[pos_] != '\n' && b_[pos_] != '\r')
                    ++pos_;
            } else {
                break;
            }
        }
    }

    std::string Keyword() {
        SkipSpace();
        const std::size_t start = pos_;
        while (pos_ < b_.size() && !IsSpace(b_[pos_]) && !IsDelimiter(b_[pos_]))
            ++pos_;
        return b_.substr(start, pos_ - start);
    }

    bool Peek(const char* word) {
        SkipSpace();
        return b_.compare(pos_, std::strlen(word), word) == 0;
    }

    Object Value(int depth = 0) {
        if (depth > kMaxDepth) Fail("objetos anidados en exceso");
        SkipSpace();
        if (pos_ >= b_.size()) Fail("el archivo termina antes de tiempo");
        const char c = b_[pos_];
        Object o;
        if (c == '<' && pos_ + 1 < b_.size() && b_[pos_ + 1] == '<') {
            pos_ += 2;
            o.kind = Object::Kind::Dict;
            while (true) {
                SkipSpace();
                if (Peek(">>")) {
                    pos_ += 2;
                    return o;
                }
                if (pos_ >= b_.size() || b_[pos_] != '/') Fail("un diccionario mal formado");
                const Object key = Value(depth + 1);
                o.fields.emplace_back(key.text, Value(depth + 1));
            }
        }
        if (c == '[') {
            ++pos_;
            o.kind = Object::Kind::Array;
            while (true) {
                SkipSpace();
                if (pos_ < b_.size() && b_[pos_] == ']') {
                    ++pos_;
                    return o;
                }
                o.items.push_back(Value(depth + 1));
            }
        }
        if (c == '/') {
            const std::size_t start = ++pos_;
            while (pos_ < b_.size() && !IsSpace(b_[pos_]) && !IsDelimiter(b_[pos_]))
                ++pos_;
            o.kind = Object::Kind::Name;
            o.text = b_.substr(start, pos_ - start);
            return o;
        }
        if (c == '(') {
            const std::size_t start = pos_++;
            int nesting = 1;
            while (pos_ < b_.size() && nesting > 0) {
                if (b_[pos_] == '\\')
                    ++pos_;
                else if (b_[pos_] == '(')
                    ++nesting;
                else if (b_[pos_] == ')')
                    --nesting;
                ++pos_;
            }
            if (nesting) Fail("una cadena sin cerrar");
            o.kind = Object::Kind::String;
            o.text = b_.substr(start, pos_ - start);
            return o;
        }
        if (c == '<') {
            const std::size_t end = b_.find('>', pos_);
            if (end == std::string::npos) Fail("una cadena sin cerrar");
            o.kind = Object::Kind::String;
            o.text = b_.substr(pos_, end + 1 - pos_);
            pos_ = end + 1;
            return o;
        }
        const std::string word = Keyword();
        if (word.empty()) Fail("un carácter inesperado");
        if (word == "true" || word == "false") {
            o.kind = Object::Kind::Bool;
            o.text = word;
            return o;
        }
        if (word == "null") return o;
        if (word.find_first_not_of("+-.0123456789") != std::string::npos)
            Fail("la palabra " + word);
        o.kind = Object::Kind::Number;
        o.text = word;
        // "n g R" is a reference.
        const std::size_t after = pos_;
        if (word.find_first_not_of("0123456789") == std::string::npos) {
            const std::string generation = Keyword();
            if (!generation.empty() &&
                generation.find_first_not_of("0123456789") == std::string::npos &&
                generation.size() < 6 && Keyword() == "R") {
                o.kind = Object::Kind::Ref;
                o.number = word.size() < 10 ? std::stoi(word) : -1;
                o.generation = std::stoi(generation);
                return o;
            }
        }
        pos_ = after;
        return o;
    }

private:
    const std::string& b_;
    std::size_t pos_;
};

long long ToInteger(const std::string& word) {
    if (word.empty() || word.size() > 15 ||
        word.find_first_not_of("0123456789") != std::string::npos)
        Fail("un número de la tabla de referencias");
    return std::stoll(word);
}

} // namespace

Object Object::Name(std::string name) {
    Object o;
    o.kind = Kind::Name;
    o.text = std::move(name);
    return o;
}
Object Object::Number(double value) {
    Object o;
    o.kind = Kind::Number;
    char text[48];
    std::snprintf(text, sizeof text, "%.4f", value);
    std::string t = text;
    while (t.back() == '0')
        t.pop_back();
    if (t.back() == '.') t.pop_back();
    o.text = t;
    return o;
}
Object Object::Integer(long long value) {
    Object o;
    o.kind = Kind::Number;
    o.text = std::to_string(value);
    return o;
}
Object Object::Literal(const std::string& raw) {
    Object o;
    o.kind = Kind::String; // written as it is
    o.text = raw;
    return o;
}
Object Object::Reference(int number, int generation) {
    Object o;
    o.kind = Kind::Ref;
    o.number = number;
    o.generation = generation;
    return o;
}
Object Object::Array(std::vector<Object> items) {
    Object o;
    o.kind = Kind::Array;
    o.items = std::move(items);
    return o;
}
Object Object::Dictionary() {
    Object o;
    o.kind = Kind::Dict;
    return o;
}

const Object* Object::Get(const std::string& key) const {
    for (const auto& [name, value] : fields)
        if (name == key) return &value;
    return nullptr;
}

void Object::Set(const std::string& key, Object value) {
    for (auto& [name, existing] : fields)
        if (name == key) {
            existing = std::move(value);
            return;
        }
    fields.emplace_back(key, std::move(value));
}

double Object::AsNumber() const {
    if (kind != Kind::Number) return 0;
    try {
        return std::stod(text);
    } catch (const std::exception&) {
        return 0;
    }
}

std::string Serialize(const Object& o) {
    switch (o.kind) {
    case Object::Kind::Null:
        return "null";
    case Object::Kind::Bool:
    case Object::Kind::Number:
    case Object::Kind::String:
        return o.text;
    case Object::Kind::Name:
        return "/" + o.text;
    case Object::Kind::Ref:
        return std::to_string(o.number) + " " + std::to_string(o.generation) + " R";
    case Object::Kind::Array: {
        std::string out = "[";
        for (std::size_t i = 0; i < o.items.size(); ++i)
            out += (i ? " " : "") + Serialize(o.items[i]);
        return out + "]";
    }
    case Object::Kind::Dict: {
        std::string out = "<<";
        for (const auto& [key, value] : o.fields)
            out += " /" + key + " " + Serialize(value);
        return out + " >>";
    }
    }
    return "null";
}

Document::Document(const std::string& bytes) : bytes_(bytes) {
    if (bytes_.compare(0, 5, "%PDF-") != 0) Fail("no empieza por %PDF-");
    const std::size_t tail = bytes_.size() > 1024 ? bytes_.size() - 1024 : 0;
    const std::size_t mark = bytes_.rfind("startxref");
    if (mark == std::string::npos || mark < tail) Fail("no tiene startxref al final");
    Parser p(bytes_, mark + 9);
    lastXref_ = static_cast<std::size_t>(ToInteger(p.Keyword()));
    std::size_t xref = lastXref_;
    // Each table once: a /Prev that leads round in a loop ends the walk.
    std::vector<std::size_t> seen;
    bool first = true;
    while (true) {
        if (xref >= bytes_.size()) Fail("la tabla de referencias está fuera del archivo");
        for (std::size_t s : seen)
            if (s == xref) Fail("las tablas de referencias forman un ciclo");
        seen.push_back(xref);
        Parser t(bytes_, xref);
        if (t.Keyword() != "xref") Fail("usa una tabla de referencias comprimida o mal situada");
        while (true) {
            t.SkipSpace();
            if (t.Peek("trailer")) break;
            const long long start = ToInteger(t.Keyword());
            const long long count = ToInteger(t.Keyword());
            if (count > 10'000'000 || start > 10'000'000)
                Fail("una tabla de referencias desmedida");
            for (long long i = 0; i < count; ++i) {
                const long long offset = ToInteger(t.Keyword());
                t.Keyword(); // generation
                const std::string use = t.Keyword();
                const int number = static_cast<int>(start + i);
                if (use == "n" && !offsets_.count(number))
                    offsets_[number] = static_cast<std::size_t>(offset);
                else if (use == "f" && !offsets_.count(number))
                    offsets_[number] = 0;
                else if (use != "n" && use != "f")
                    Fail("una entrada de la tabla de referencias");
            }
        }
        t.Keyword(); // trailer
        const Object trailer = t.Value();
        if (!trailer.IsDict()) Fail("un trailer mal formado");
        if (first) {
            trailer_ = trailer;
            size_ = static_cast<int>(trailer.Get("Size") ? trailer.Get("Size")->AsNumber() : 0);
            first = false;
        }
        const Object* prev = trailer.Get("Prev");
        if (!prev) break;
        xref = static_cast<std::size_t>(prev->AsNumber());
    }
    if (!trailer_.Get("Root")) Fail("no tiene catálogo (/Root)");
    if (size_ <= 0 || size_ > 10'000'000) Fail("el trailer no dice cuántos objetos tiene (/Size)");
}

std::size_t Document::ObjectStart(int number) const {
    const auto found = offsets_.find(number);
    if (found == offsets_.end() || found->second == 0 || found->second >= bytes_.size())
        Fail("falta el objeto " + std::to_string(number));
    Parser p(bytes_, found->second);
    if (p.Keyword() != std::to_string(number))
        Fail("el objeto " + std::to_string(number) + " no está en su sitio");
    p.Keyword();
    if (p.Keyword() != "obj") Fail("el objeto " + std::to_string(number) + " no está en su sitio");
    return p.pos();
}

Object Document::Load(int number) const {
    Parser p(bytes_, ObjectStart(number));
    return p.Value();
}

Object Document::Resolve(const Object& object) const {
    return object.kind == Object::Kind::Ref ? Load(object.number) : object;
}

std::optional<std::string> Document::StreamBytes(int number) const {
    Parser p(bytes_, ObjectStart(number));
    const Object dict = p.Value();
    if (!dict.IsDict() || !p.Peek("stream")) return std::nullopt;
    std::size_t start = p.pos() + 6;
    if (start < bytes_.size() && bytes_[start] == '\r') ++start;
    if (start < bytes_.size() && bytes_[start] == '\n') ++start;
    const Object* lengthField = dict.Get("Length");
    if (!lengthField) return std::nullopt;
    const double length = Resolve(*lengthField).AsNumber();
    if (length < 0 || start + static_cast<std::size_t>(length) > bytes_.size()) return std::nullopt;
    return bytes_.substr(start, static_cast<std::size_t>(length));
}

void Document::CollectPages(const Object& node, std::vector<int>& pages, int depth) const {
    if (depth > kMaxDepth) Fail("un árbol de páginas demasiado profundo");
    const Object* kids = node.Get("Kids");
    if (!kids) return;
    for (const Object& kid : Resolve(*kids).items) {
        if (kid.kind != Object::Kind::Ref) continue;
        const Object child = Load(kid.number);
        const Object* type = child.Get("Type");
        if (type && type->text == "Page")
            pages.push_back(kid.number);
        else
            CollectPages(child, pages, depth + 1);
        if (pages.size() > 1'000'000) Fail("demasiadas páginas");
    }
}

std::vector<int> Document::Pages() const {
    const Object catalog = Resolve(*trailer_.Get("Root"));
    const Object* root = catalog.Get("Pages");
    if (!root) Fail("no tiene páginas");
    std::vector<int> pages;
    CollectPages(Resolve(*root), pages, 0);
    return pages;
}

std::vector<double> Document::MediaBox(int page) const {
    Object node = Load(page);
    for (int depth = 0; depth < kMaxDepth; ++depth) {
        if (const Object* box = node.Get("MediaBox")) {
            std::vector<double> values;
            for (const Object& v : Resolve(*box).items)
                values.push_back(Resolve(v).AsNumber());
            if (values.size() == 4) return values;
            break;
        }
        const Object* parent = node.Get("Parent");
        if (!parent) break;
        node = Resolve(*parent);
    }
    Fail("la página no tiene MediaBox");
}

IncrementalUpdate::IncrementalUpdate(const Document& document)
    : document_(document), next_(document.Size()) {}

int IncrementalUpdate::NewObject() {
    return next_++;
}

void IncrementalUpdate::Put(int number, const std::string& body) {
    objects_[number] = body;
}

std::string IncrementalUpdate::Write() const {
    std::string out = document_.Bytes();
    if (out.back() != '\n') out += '\n';
    std::map<int, std::size_t> offsets;
    for (const auto& [number, body] : objects_) {
        offsets[number] = out.size();
        out += std::to_string(number) + " 0 obj\n" + body + "\nendobj\n";
    }
    const std::size_t xref = out.size();
    out += "xref\n";
    for (auto it = offsets.begin(); it != offsets.end();) {
        auto end = it;
        int count = 0;
        while (end != offsets.end() && end->first == it->first + count) {
            ++end;
            ++count;
        }
        out += std::to_string(it->first) + " " + std::to_string(count) + "\n";
        for (; it != end; ++it) {
            char line[32];
            std::snprintf(line, sizeof line, "%010zu 00000 n\r\n", it->second);
            out += line;
        }
    }
    Object trailer = Object::Dictionary();
    trailer.Set("Size", Object::Integer(next_));
    for (const char* key : {"Root", "Info", "ID"})
        if (const Object* value = document_.Trailer().Get(key)) trailer.Set(key, *value);
    trailer.Set("Prev", Object::Integer(static_cast<long long>(document_.LastXref())));
    out += "trailer\n" + Serialize(trailer) + "\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    return out;
}

} // namespace valdex::pdf
