#pragma once
// An error inside a window procedure fails the running test instead of
// showing a message box nobody closes.

#include "Application.h"
#include "Convert.h"

#include <gtest/gtest.h>

#include <exception>

inline void FailOnException() {
  tvk::Application().OnException = [](tvk::TObject*, const std::exception_ptr& e) {
    try {
      std::rethrow_exception(e);
    } catch (const tvk::Exception& error) {
      ADD_FAILURE() << "error in a window procedure: " << tvk::UTF8Encode(error.Message());
    } catch (const std::exception& error) {
      ADD_FAILURE() << "error in a window procedure: " << error.what();
    }
  };
}
