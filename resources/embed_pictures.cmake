# Writes a C++ source that embeds PNG files as the module's numbered pictures.
# cmake -DOUTPUT=<file.cpp> -DPICTURES=<number>=<png>;... -P embed_pictures.cmake
set(_arrays "")
set(_entries "")
foreach(_pair IN LISTS PICTURES)
  string(REPLACE "=" ";" _parts "${_pair}")
  list(GET _parts 0 _number)
  list(GET _parts 1 _file)
  file(READ "${_file}" _hex HEX)
  string(LENGTH "${_hex}" _length)
  math(EXPR _size "${_length} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," _bytes "${_hex}")
  # 16 bytes a line keeps the generated file readable by tools.
  string(REPEAT "0x..," 16 _line)
  string(REGEX REPLACE "(${_line})" "\\1\n  " _bytes "${_bytes}")
  get_filename_component(_name "${_file}" NAME)
  string(APPEND _arrays "// ${_name}, ${_size} bytes\nalignas(16) const unsigned char kPicture${_number}[] = {\n  ${_bytes}\n};\n\n")
  string(APPEND _entries "    {${_number}, kPicture${_number}, sizeof kPicture${_number}},\n")
endforeach()

file(WRITE "${OUTPUT}.tmp" "// Generated from the pictures in resources/ by embed_pictures.cmake; do not edit.
#include \"gui/resources.h\"

namespace {

${_arrays}struct Picture {
  int number;
  const unsigned char* data;
  size_t size;
};

const Picture kPictures[] = {
${_entries}};

}  // namespace

namespace VSTGUI {

bool FindImageResource(int number, const unsigned char** data, size_t* size) {
  for (const Picture& p : kPictures) {
    if (p.number != number) continue;
    if (data) *data = p.data;
    if (size) *size = p.size;
    return true;
  }
  return false;
}

// The pictures are numbered only.
bool FindImageResourceByName(const char*, const unsigned char**, size_t*) { return false; }

}  // namespace VSTGUI
")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
