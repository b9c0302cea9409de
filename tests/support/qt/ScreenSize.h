#pragma once
// Gives the headless (offscreen) platform's screen another size for the length
// of a test, as a laptop's screen (1366 x 768) or a desktop's (1920 x 1080):
//
//     support::ScreenSize laptop(1366, 768);
//
// The screen has its old size again when the object goes. The offscreen screen
// has no panels: its available area is the whole screen.

namespace support {

class ScreenSize {
public:
    ScreenSize(int width, int height);
    ~ScreenSize();
    ScreenSize(const ScreenSize&) = delete;
    ScreenSize& operator=(const ScreenSize&) = delete;

private:
    int m_oldWidth = 0;
    int m_oldHeight = 0;
};

} // namespace support
