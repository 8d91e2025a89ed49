// Stand-in for the system services the window code uses (debug log and run timer) until the
// files and system services land; same interfaces.
#pragma once

// Appends the text as it is to "ErrorLog.txt" in the temporary folder; null writes "NULL".
void ErrorLogWrite(const char* text);
// Milliseconds of the run timer; the first reading is 0.
double GetTimerAll();
