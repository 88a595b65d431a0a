// What a window looks like on the screen: a picture of it as a BMP file,
// and which standard icon a message box shows.
#pragma once

#include <windows.h>

#include <string>

// Raises `window`, waits until no window of another process covers it and
// copies its rectangle from the screen into a 24-bit BMP file.
bool capture_window(HWND window, const std::string& path, std::string* error);

// The standard icon that a message box shows, found by comparing its
// picture with the system's own icons drawn over the same background.
struct IconMatch {
    std::string name;        // "error", "question", "warning", "information"; "none": no icon
    double difference = 0;   // mean difference per colour channel, 0 to 255
    std::string next;        // the next closest icon, and its difference
    double next_difference = 0;
};

// False, with `error` set, when the box cannot be seen or its picture
// matches none of the standard icons.
bool message_box_icon(HWND box, IconMatch* match, std::string* error);

// How many pixels of `control` (a child of a visible dialog) change between
// two pictures of it taken `milliseconds` apart, as the user would see them.
// False, with `error` set, when it cannot be seen.
bool pixels_changed(HWND control, DWORD milliseconds, long* changed, std::string* error);
