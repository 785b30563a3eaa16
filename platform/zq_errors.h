// The graphics library's memory of what went wrong last, shown by ZQPrintError.
#pragma once

// Keeps the formatted text (cut to a fixed length) as the last error, replacing
// the one before; with debugging enabled it also goes to stderr.
void RecordLibraryError(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The text kept by RecordLibraryError; empty when nothing went wrong yet.
const char* LastLibraryError();
