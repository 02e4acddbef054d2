#include "app/script/JsonWriter.h"

#include "platform/Utf8.h"

#include <charconv>
#include <cmath>
#include <type_traits>

namespace app {

void JsonWriter::BeforeValue()
{
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (!open_.empty()) {
        if (open_.back()) out_ += ',';
        open_.back() = true;
    }
}

JsonWriter& JsonWriter::BeginObject()
{
    BeforeValue();
    out_ += '{';
    open_.push_back(false);
    return *this;
}

JsonWriter& JsonWriter::EndObject()
{
    if (!open_.empty()) open_.pop_back();
    out_ += '}';
    return *this;
}

JsonWriter& JsonWriter::BeginArray()
{
    BeforeValue();
    out_ += '[';
    open_.push_back(false);
    return *this;
}

JsonWriter& JsonWriter::EndArray()
{
    if (!open_.empty()) open_.pop_back();
    out_ += ']';
    return *this;
}

JsonWriter& JsonWriter::Key(std::string_view key)
{
    BeforeValue();
    out_ += Quote(key);
    out_ += ':';
    afterKey_ = true;
    return *this;
}

JsonWriter& JsonWriter::String(std::string_view text)
{
    BeforeValue();
    out_ += Quote(text);
    return *this;
}

JsonWriter& JsonWriter::Number(double value)
{
    if (!std::isfinite(value)) return Null();
    BeforeValue();
    // -0 reads back as 0 everywhere that matters; keep reports free of "-0".
    if (value == 0.0) value = 0.0;
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out_.append(buffer, result.ptr);
    return *this;
}

JsonWriter& JsonWriter::Number(float value)
{
    if (!std::isfinite(value)) return Null();
    BeforeValue();
    if (value == 0.0f) value = 0.0f;
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out_.append(buffer, result.ptr);
    return *this;
}

JsonWriter& JsonWriter::Int(std::int64_t value)
{
    BeforeValue();
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out_.append(buffer, result.ptr);
    return *this;
}

JsonWriter& JsonWriter::Bool(bool value)
{
    BeforeValue();
    out_ += value ? "true" : "false";
    return *this;
}

JsonWriter& JsonWriter::Null()
{
    BeforeValue();
    out_ += "null";
    return *this;
}

std::string JsonWriter::Quote(std::string_view text)
{
    return platform::JsonQuoted(text);
}

} // namespace app
