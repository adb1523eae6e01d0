// Text placed on a panel at run time, such as the maker's information block in
// the corner of the main and oscillograph windows.
#pragma once

struct text_style {
    int bg_color;   // 0xRRGGBB
    int text_color; // 0xRRGGBB
    int bold;
    int top;
    int left;
    int point_size;
    const char* text;
};

// The information block of both windows: white bold 12-point type on the
// decoration colour, three lines of the maker's contact data.
extern const text_style info_text_style;

// Creates a text message with the style on the panel; returns the new
// control's id, or a negative status of the user-interface layer.
int print_text(int panel, const text_style* style);
