// The dialog and the controls the installer's window is made of.
#pragma once

#include "platform/bitmap_win32.h"
#include "platform/button_win32.h"
#include "platform/combo_box_win32.h"
#include "platform/dialog_win32.h"
#include "platform/say_win32.h"
