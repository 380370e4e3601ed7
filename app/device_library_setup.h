#pragma once
// Chooses the device library the program talks to and makes it the one
// library of the process.
void InstallDeviceLibrary();
