// A minimal JSON writer for `info --json`: objects, arrays, strings,
// numbers and booleans, with commas and escapes handled.
#pragma once

#include <string>
#include <vector>

namespace vornhost {

class JsonWriter {
 public:
  JsonWriter& BeginObject(const char* key = nullptr);
  JsonWriter& EndObject();
  JsonWriter& BeginArray(const char* key = nullptr);
  JsonWriter& EndArray();
  JsonWriter& Value(const char* key, const std::string& text);
  JsonWriter& Value(const char* key, double number);
  JsonWriter& Value(const char* key, long long number);
  JsonWriter& Value(const char* key, int number) { return Value(key, static_cast<long long>(number)); }
  JsonWriter& Bool(const char* key, bool flag);

  const std::string& str() const { return out_; }

 private:
  void Key(const char* key);
  std::string out_;
  std::vector<bool> first_;  // per open container: nothing written yet
};

std::string JsonEscape(const std::string& text);

}  // namespace vornhost
