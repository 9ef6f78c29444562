#include "json_writer.h"

#include "json_object.h"

#include "calc/format_general.h"
#include "calc/result_fields.h"
#include "study/calibration_study.h"

#include <charconv>
#include <cstdio>
#include <string_view>
#include <vector>

namespace valdex::cli {

namespace {

struct Field {
    const char* name;
    double value;
    int precision;
};

} // namespace

std::string ShortestDecimal(double value) {
    char buffer[64];
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return error == std::errc() ? std::string(buffer, end) : "null";
}

std::string ToJson(const StudyResultRecord& record, char sep) {
    const CalibrationResult& r = record.result;
    std::vector<Field> fields;
    for (const ResultField& field : kResultFields)
        fields.push_back({field.Name, r.*field.Value, field.Precision});
    // Only the two known calculation types have limits.
    const bool knownType = IsKnownCalculationType(record.calculationType);
    std::string values, texts;
    for (const Field& field : fields) {
        const std::string comma = values.empty() ? "" : ",";
        const std::string_view name = field.name;
        if (!knownType && (name == "LD" || name == "LC")) {
            values += comma + "\"" + field.name + "\":null";
            texts += comma + "\"" + field.name + "\":null";
            continue;
        }
        values += comma + "\"" + field.name + "\":" + ShortestDecimal(field.value);
        texts += comma + "\"" + field.name +
                 "\":" + JsonString(FormatGeneral(field.value, field.precision, sep));
    }
    const std::string notice =
        knownType ? ""
                  : ",\"aviso\":" + JsonString("El tipo de cálculo \"" + record.calculationType +
                                               "\" no es \"" + kRegression + "\" ni \"" +
                                               kInterceptMethod + "\": LD y LC no se calculan.");
    return "{\"archivo\":" + JsonString(record.file) +
           ",\"tipo\":" + JsonString(record.calculationType) +
           ",\"unidades\":" + JsonString(record.units) + ",\"N\":" + std::to_string(record.n) +
           ",\"t\":" + ShortestDecimal(record.tCritical) + ",\"valores\":{" + values +
           "},\"textos\":{" + texts + "}" + notice + "}";
}

std::string ToJsonError(const std::string& file, const std::string& message) {
    return "{\"archivo\":" + JsonString(file) + ",\"error\":" + JsonString(message) + "}";
}

} // namespace valdex::cli
