#pragma once
// The frame every screenshot program shares: one argument, the output folder
// (made if missing); COM and the module's start-up steps around the drawing;
// a library error printed and answered with exit code 1.

#include "Exception.h"
#include "ModuleInit.h"

#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <functional>
#include <span>
#include <string>

namespace tvk {

inline int RunScreenshotProgram(int argc, char** argv, const char* name, std::span<const TInitStep> steps,
                                const std::function<void(const std::string& folder)>& draw,
                                const std::function<void()>& beforeShutdown = {},
                                const std::function<void()>& afterShutdown = {}) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", name);
    return 2;
  }
  const std::string folder = argv[1];
  CreateDirectoryA(folder.c_str(), nullptr);
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  if (!RunStartup(steps)) return 1;
  int status = 0;
  try {
    draw(folder);
  } catch (const Exception& e) {
    std::fprintf(stderr, "failed: %ls\n", e.Message().c_str());
    status = 1;
  }
  if (beforeShutdown) beforeShutdown();
  RunShutdown(steps);
  if (afterShutdown) afterShutdown();
  CoUninitialize();
  return status;
}

}  // namespace tvk
