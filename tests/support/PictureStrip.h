#pragma once
// A strip of two 16 x 16 pictures on fuchsia (the mask colour), a blue square
// in the second, and the check that an image list holds both, masked.
#include <gtest/gtest.h>

#include "ImageLists.h"
#include "Streams.h"

namespace testsupport {

inline void MakeTwoPictureStrip(tvk::TBitmap& strip) {
  strip.SetSize(32, 16);
  strip.Canvas().Brush().SetColor(tvk::clFuchsia);
  strip.Canvas().FillRect(RECT{0, 0, 32, 16});
  strip.Canvas().Brush().SetColor(tvk::clBlue);
  strip.Canvas().FillRect(RECT{20, 4, 28, 12});
}

inline void ExpectTwoPictureStrip(tvk::TCustomImageList& list) {
  ASSERT_EQ(2, list.Count());
  tvk::TBitmap out;
  list.GetBitmap(1, out, tvk::clLime);
  EXPECT_EQ(tvk::clBlue, out.Canvas().Pixel(6, 6));
  EXPECT_EQ(tvk::clLime, out.Canvas().Pixel(0, 0));  // masked: the background shows
}

// A list of the strip's pictures written as form data holds exactly the
// binary property Property, and reads back whole; an empty list writes none.
template <class List>
void ExpectImageListFormData(const wchar_t* property) {
  List list(nullptr);
  tvk::TBitmap strip;
  MakeTwoPictureStrip(strip);
  list.AddMasked(strip, tvk::clFuchsia);
  tvk::TMemoryStream form;
  tvk::WriteBinaryProperties(list, form);
  form.SetPosition(0);
  EXPECT_EQ(std::vector<tvk::WideString>{property}, tvk::BinaryPropertyNames(form));
  form.SetPosition(0);
  List copy(nullptr);
  tvk::ReadBinaryProperties(copy, form);
  ExpectTwoPictureStrip(copy);
  List empty(nullptr);
  tvk::TMemoryStream nothing;
  tvk::WriteBinaryProperties(empty, nothing);
  nothing.SetPosition(0);
  EXPECT_TRUE(tvk::BinaryPropertyNames(nothing).empty());
}

}  // namespace testsupport
