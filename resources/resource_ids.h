/* Resource numbers shared by the resource script and the program. */
#pragma once

#define IDI_PROGRAM 1
#define IDC_HAND_POINTER 101
#define IDR_BACKGROUND_JPEG 201
#define IDR_BANNER_GIF 202
