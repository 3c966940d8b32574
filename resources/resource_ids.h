/* Resource numbers shared by the resource script and the program. */
#pragma once

#define IDI_PROGRAM 1
#define IDC_HAND_POINTER 101
#define IDR_BACKGROUND_RUNS 201
#define IDB_BANNER 202
