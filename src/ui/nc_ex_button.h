// NCExButton: the message dialog's skinned button; the window class cursor stays over it.
#pragma once
#include "ui/skinned_button.h"

class NCExButton : public SkinnedButton {};
