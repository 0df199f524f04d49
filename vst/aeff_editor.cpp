#include "vst/aeff_editor.h"

AEffEditor::~AEffEditor() = default;
