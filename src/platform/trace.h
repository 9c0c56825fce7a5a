#pragma once
// For the end-to-end benchmark, which reads the program from outside; both are inert unless the
// environment asks for them.
namespace platform {
// The moments of a run a user waits through: written only when NOMERRA_TRACE names a file, one
// line a step ("step seconds", on the steady clock every process of the machine shares).
void trace(const char* step);
// NOMERRA_NO_PROGRESS_WINDOW set: runs show no progress window, so that its cost can be measured.
bool progressWindowLeftOut();
}  // namespace platform
