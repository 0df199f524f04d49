#include <sstream>

#include "formats/lv2/lv2_ports.h"
#include "formats/lv2/lv2_turtle.h"

namespace lv2turtle {

std::string EnabledPort() {
  // lv2:enabled makes it the host's bypass switch, not one of the settings.
  std::ostringstream out;
  out << " , [\n        a lv2:ControlPort , lv2:InputPort ;\n"
      << "        lv2:index " << lv2port::kEnabled << " ;\n"
      << "        lv2:symbol \"enabled\" ;\n"
      << "        lv2:name \"Enabled\" ;\n"
      << "        lv2:designation lv2:enabled ;\n"
      << "        lv2:default 1 ;\n"
      << "        lv2:minimum 0 ;\n"
      << "        lv2:maximum 1 ;\n"
      << "        lv2:portProperty lv2:toggled , lv2:integer\n    ]";
  return out.str();
}

}  // namespace lv2turtle
