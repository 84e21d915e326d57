// version.h -- the tool's identity as its banners and documents show it.
#ifndef PIXVEIL_VERSION_H
#define PIXVEIL_VERSION_H

#define kToolVersion "v1.08"
#define kOwnershipNotice "(c) Arbolet Software, all rights reserved"
#define kReleaseDate "20th July 2013"
#define kWebAddress "http://www.arbolet.example/pixveil/"

namespace pixveil {
// The oldest library version the tool works with (1.37).
constexpr int kRequiredLibraryVersion = 137;
}  // namespace pixveil

#endif
