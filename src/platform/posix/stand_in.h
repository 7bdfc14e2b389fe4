// The stand-in layer's own settings: the folder that stands for drive C: and the .reg file that
// stands for HKEY_LOCAL_MACHINE, and how Windows paths map onto the host.
#pragma once

#include <string>

// Reads TILEWRIGHT_IMAGE and TILEWRIGHT_REGISTRY (default: HKLM.reg in the image folder). False,
// with problem set to a one-line explanation, when the image folder is unset or not a folder.
bool StartStandInLayer(std::string& problem);

// Points the layer at another image folder and registry file, forgetting anything read before
// (used by tests, which make an image per case).
void UseStandIn(const std::string& imageFolder, const std::string& registryFile);

// The host path of a Windows path: C:\ into the image, Z:\ to the host's /, a path without a
// drive relative to the current directory; every component that does not exist with its exact
// spelling is matched ignoring case. Other drives and UNC paths give the empty string.
std::string HostPathOf(const std::wstring& windowsPath);

// The Windows path of a host path: C:\... inside the image, Z:\... elsewhere.
std::wstring WindowsPathOf(const std::string& hostPath);
