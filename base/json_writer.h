#pragma once
// A small writer of JSON text (UTF-8) for tools: objects and arrays are opened and closed in
// order; commas and string escapes are handled here.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tesmar {

class JsonWriter {
 public:
  JsonWriter& BeginObject();
  JsonWriter& EndObject();
  JsonWriter& BeginArray();
  JsonWriter& EndArray();
  // The name of the next member of the open object.
  JsonWriter& Key(std::string_view name);
  JsonWriter& String(std::string_view utf8);
  JsonWriter& String(std::u16string_view text);
  JsonWriter& Int(std::int64_t value);
  JsonWriter& Number(double value);  // shortest form that reads back the same; null when not finite
  JsonWriter& Bool(bool value);
  JsonWriter& Null();

  const std::string& Text() const { return out_; }

 private:
  void BeforeValue();
  std::string out_;
  std::vector<bool> first_;  // per open container: no member written yet
  bool afterKey_ = false;
};

}  // namespace tesmar
