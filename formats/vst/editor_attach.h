// Creates the 500 × 480 editor for a new adapter, when it has none yet and
// this build carries one.
#pragma once

class CHoxa;

void AttachEditor(CHoxa* adapter);
