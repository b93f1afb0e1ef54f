#pragma once
#include "crash/DialogFace.h"

// The crash reporter's faces, made with the renderer's font code from the
// system's DejaVu fonts; incomplete when one cannot be found.
DialogFaces LoadReporterFaces();
