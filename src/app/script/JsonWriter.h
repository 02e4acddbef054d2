// A small JSON writer for the run report: objects, arrays, strings and numbers, written
// without the process locale so that a report reads the same on every desktop.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace app {

class JsonWriter {
  public:
    JsonWriter& BeginObject();
    JsonWriter& EndObject();
    JsonWriter& BeginArray();
    JsonWriter& EndArray();
    // Inside an object: the key of the next value.
    JsonWriter& Key(std::string_view key);

    JsonWriter& String(std::string_view text);
    // Shortest text that reads back as the same double; NaN and infinities, which JSON cannot
    // hold, are written as null.
    JsonWriter& Number(double value);
    // The same for a float: the shortest text that reads back as that float (0.1f gives 0.1).
    JsonWriter& Number(float value);
    JsonWriter& Int(std::int64_t value);
    JsonWriter& Bool(bool value);
    JsonWriter& Null();

    // Key and value in one call.
    template <class T> JsonWriter& Field(std::string_view key, const T& value);

    const std::string& Text() const { return out_; }
    // Whether every object and array begun has been ended.
    bool Complete() const { return open_.empty() && !out_.empty(); }

    // text as a quoted JSON string: quotes, backslashes and control characters escaped,
    // bytes that are not UTF-8 replaced by U+FFFD, everything else kept as UTF-8.
    static std::string Quote(std::string_view text);

  private:
    void BeforeValue();

    std::string out_;
    // One entry per open container: whether it already holds an element.
    std::vector<bool> open_;
    bool afterKey_ = false;
};

template <class T> JsonWriter& JsonWriter::Field(std::string_view key, const T& value)
{
    Key(key);
    if constexpr (std::is_same_v<T, bool>)
        return Bool(value);
    else if constexpr (std::is_integral_v<T>)
        return Int(static_cast<std::int64_t>(value));
    else if constexpr (std::is_floating_point_v<T>)
        return Number(value);
    else
        return String(value);
}

} // namespace app
