#include "shell/editor_attach.h"

// This build carries no editor: the adapter keeps none and the host sees no
// has-editor flag.
void AttachEditor(CHoxa*) {}
