#pragma once
// Just enough of a PDF file to sign it: the objects of the cross-reference
// tables (classic tables, followed through /Prev), read into a small object
// model and written back, and an incremental update that appends new and
// replaced objects with a table of their own, leaving every earlier byte
// as it was.

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace valdex::pdf {

struct Object {
    enum class Kind { Null, Bool, Number, Name, String, Array, Dict, Ref };
    Kind kind = Kind::Null;
    std::string text; // number or bool as written; name without '/'; string with its delimiters
    std::vector<Object> items;                          // array
    std::vector<std::pair<std::string, Object>> fields; // dictionary, in order
    int number = 0;                                     // reference
    int generation = 0;

    static Object Name(std::string name);
    static Object Number(double value);
    static Object Integer(long long value);
    static Object Literal(const std::string& raw); // already written (a string, an array…)
    static Object Reference(int number, int generation = 0);
    static Object Array(std::vector<Object> items);
    static Object Dictionary();

    bool IsDict() const { return kind == Kind::Dict; }
    const Object* Get(const std::string& key) const;
    void Set(const std::string& key, Object value);
    double AsNumber() const; // 0 when not a number

    // Declared here and defaulted below, once Object is complete: the
    // dictionary's pairs hold Objects.
    Object();
    Object(const Object&);
    Object(Object&&) noexcept;
    Object& operator=(const Object&);
    Object& operator=(Object&&) noexcept;
    ~Object();
};

inline Object::Object() = default;
inline Object::Object(const Object&) = default;
inline Object::Object(Object&&) noexcept = default;
inline Object& Object::operator=(const Object&) = default;
inline Object& Object::operator=(Object&&) noexcept = default;
inline Object::~Object() = default;

std::string Serialize(const Object& object);
// A text string: UTF-16BE with its byte-order mark, written in hex.
std::string TextString(const std::string& utf8);
// A literal string of bytes, escaped.
std::string ByteString(const std::string& bytes);
// Reads a text string back to UTF-8 (UTF-16BE or PDFDocEncoding's ASCII part).
std::string ReadTextString(const Object& string);

class Document {
public:
    // Throws AppError (Spanish) when the file is not a PDF the program can
    // read: no cross-reference table, an object out of place.
    explicit Document(const std::string& bytes);

    const std::string& Bytes() const { return bytes_; }
    const Object& Trailer() const { return trailer_; }
    std::size_t LastXref() const { return lastXref_; }
    int Size() const { return size_; }

    // The object itself for a reference, else the object as it is.
    Object Resolve(const Object& object) const;
    Object Load(int number) const;
    // The bytes of a stream object as stored (its filters not undone).
    std::optional<std::string> StreamBytes(int number) const;

    // The page objects in order.
    std::vector<int> Pages() const;
    // The page's MediaBox, inherited from its parents when it has none.
    std::vector<double> MediaBox(int page) const;

private:
    std::size_t ObjectStart(int number) const;
    void CollectPages(const Object& node, std::vector<int>& pages, int depth) const;

    std::string bytes_;
    Object trailer_;
    std::size_t lastXref_ = 0;
    int size_ = 0;
    std::map<int, std::size_t> offsets_;
};

// Objects appended after the end of a document, with their table and a
// trailer that points back to the document's last table.
class IncrementalUpdate {
public:
    explicit IncrementalUpdate(const Document& document);
    int NewObject(); // reserves a number
    void Put(int number, const std::string& body);
    // The whole new file: the old bytes, then the objects, table and trailer.
    std::string Write() const;

private:
    const Document& document_;
    int next_;
    std::map<int, std::string> objects_;
};

} // namespace valdex::pdf
