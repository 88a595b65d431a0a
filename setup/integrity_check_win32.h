// The integrity check over the system: the module's path, IMAGEHLP.DLL's
// MapFileAndCheckSumA bound at run time, and a message box.
#pragma once

// True: go on. False: the file was refused and the refusal shown.
bool verify_setup_checksum();
