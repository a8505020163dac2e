// CStatic: a static-text control. The window operations come from CWnd;
// controls that act on their own clicks (the hyperlink) derive from it.
#pragma once

#include "Wnd.h"

class CStatic : public CWnd {};
