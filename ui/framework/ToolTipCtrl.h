// CToolTipCtrl: a tooltip window (tooltips_class32) owned by another window.
// Its tools are registered with their text; mouse messages reach it through
// RelayEvent. The object destroys a window it still holds.
#pragma once

#include <string>

#include "Wnd.h"

class CToolTipCtrl : public CWnd {
 public:
  CToolTipCtrl();
  ~CToolTipCtrl() override;

  // Creates the tooltip as a popup owned by pOwner, with dwStyle added.
  BOOL Create(CWnd* pOwner, DWORD dwStyle = 0);
  // Registers tool nIDTool of pWnd over rect (pWnd's client coordinates),
  // showing text (TTM_ADDTOOLA).
  BOOL AddTool(CWnd* pWnd, const char* text, const RECT* rect, UINT_PTR nIDTool);
  // Registers the whole window hTool, a child of pOwner, as a tool showing
  // text; the tooltip watches its mouse messages itself (no RelayEvent).
  // Its text is GetText(pOwner, UINT_PTR(hTool)).
  BOOL AddWindowTool(CWnd* pOwner, HWND hTool, const char* text);
  // Hands a message of a tool's window to the tooltip (TTM_RELAYEVENT).
  void RelayEvent(MSG* pMsg);
  int GetToolCount() const;
  // The text of tool nIDTool of pWnd; empty when there is no such tool.
  std::string GetText(CWnd* pWnd, UINT_PTR nIDTool) const;
  // The rectangle of tool nIDTool of pWnd; FALSE when there is no such tool.
  BOOL GetToolRect(CWnd* pWnd, UINT_PTR nIDTool, RECT* pRect) const;
  BOOL DestroyWindow() override;
};
