#include "shell/aeff_editor.h"

AEffEditor::~AEffEditor() = default;
