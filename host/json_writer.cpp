#include "host/json_writer.h"

#include <cmath>
#include <cstdio>

namespace vornhost {

std::string JsonEscape(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\r':
        out += "\\r";
        break;
      default:
        if (c < 0x20 || c >= 0x7F) {
          // Plug-in texts may be in any code page: keep them valid JSON.
          char buffer[8];
          std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
          out += buffer;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

void JsonWriter::Key(const char* key) {
  if (!first_.empty()) {
    if (!first_.back()) out_ += ",";
    first_.back() = false;
  }
  if (key != nullptr) out_ += JsonEscape(key) + ":";
}

JsonWriter& JsonWriter::BeginObject(const char* key) {
  Key(key);
  out_ += "{";
  first_.push_back(true);
  return *this;
}

JsonWriter& JsonWriter::EndObject() {
  first_.pop_back();
  out_ += "}";
  return *this;
}

JsonWriter& JsonWriter::BeginArray(const char* key) {
  Key(key);
  out_ += "[";
  first_.push_back(true);
  return *this;
}

JsonWriter& JsonWriter::EndArray() {
  first_.pop_back();
  out_ += "]";
  return *this;
}

JsonWriter& JsonWriter::Value(const char* key, const std::string& text) {
  Key(key);
  out_ += JsonEscape(text);
  return *this;
}

JsonWriter& JsonWriter::Value(const char* key, double number) {
  Key(key);
  if (!std::isfinite(number)) {
    out_ += "null";
  } else {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.9g", number);
    out_ += buffer;
  }
  return *this;
}

JsonWriter& JsonWriter::Value(const char* key, long long number) {
  Key(key);
  out_ += std::to_string(number);
  return *this;
}

JsonWriter& JsonWriter::Bool(const char* key, bool flag) {
  Key(key);
  out_ += flag ? "true" : "false";
  return *this;
}

}  // namespace vornhost
