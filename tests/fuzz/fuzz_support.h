// What the fuzz targets share: a private scratch folder for the file each
// input becomes (every loader here reads files by name), and a check that
// stops the run with a message when a loader breaks its own promise. The same
// targets run under libFuzzer (the fuzz build) and replay their kept inputs
// in the ordinary suite (replay_test.cpp).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace fuzz {

// An absolute path `name` inside a folder made for this process under
// $TMPDIR (or /dev/shm, or /tmp), removed at a normal exit; a run that
// crashed leaves it behind.
std::string ScratchPath(const char* name);

// Writes the bytes as the whole file; false when it cannot.
bool WriteWholeFile(const std::string& path, const uint8_t* data, size_t size);

// A broken promise is a finding: the message goes to standard error and the
// process aborts, which libFuzzer reports as a crash and keeps the input.
void Check(bool holds, const char* what);

}  // namespace fuzz
