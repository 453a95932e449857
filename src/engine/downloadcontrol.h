#pragma once

// The download-control flag word a host site answers for its page: which kinds of
// content the page may load or run. Bits as the embedding protocol defines them.
namespace DownloadControl {

constexpr int kImages = 0x10;
constexpr int kVideos = 0x20;
constexpr int kBgSounds = 0x40;
constexpr int kNoScripts = 0x80;
constexpr int kNoJava = 0x100;
constexpr int kNoRunActiveX = 0x200;
constexpr int kNoDownloadActiveX = 0x400;

// Pictures, videos and background sounds: what a page gets by default.
constexpr int kDefault = kImages | kVideos | kBgSounds; // 112

struct Switches {
    bool image = true;
    bool bgSound = true;
    bool video = true;
    bool script = true;
    bool activeX = true;
    bool javaApplet = true;
    bool dlActiveX = true;
};

constexpr int flagWord(const Switches &s)
{
    int flags = s.dlActiveX ? kDefault : kDefault | kNoDownloadActiveX;
    if (!s.image)
        flags &= ~kImages;
    if (!s.bgSound)
        flags &= ~kBgSounds;
    if (!s.video)
        flags &= ~kVideos;
    if (!s.script)
        flags |= kNoScripts;
    if (!s.activeX)
        flags |= kNoRunActiveX;
    if (!s.javaApplet)
        flags |= kNoJava;
    return flags;
}

} // namespace DownloadControl
