// The program's debug log: printf-formatted text appended to "debug.log" in the
// current directory. Nothing switches it on in a normal run; set logEnabled by
// hand (or in a debugger) when chasing a problem.
#pragma once

// 0: DebugLog does nothing. Starts at 0.
extern int logEnabled;

// Writes the formatted text as is (no newline added). The first message of a
// run creates the file afresh; later ones follow it. Failures are silent.
void DebugLog(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;
