// The About box: the application icon, the product and version line, a
// copyright line and the product's web address as a link.
#pragma once

#include "HyperLink.h"
#include "framework/Dialog.h"
#include "resource.h"

class CAboutDlg : public CDialog {
 public:
  enum { IDD = IDD_ABOUTBOX };

  // Without an owner the box is modal over the application's main window.
  explicit CAboutDlg(CWnd* pParent = nullptr);
  ~CAboutDlg() override;

  CHyperLink m_wndLink;

 protected:
  // Binds item IDC_HYPERLINK to the link the first time it runs.
  void DoDataExchange(CDataExchange* pDX) override;
};
