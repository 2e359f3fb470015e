#include "console/KorvaneDlg.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "console/AboutDlg.h"
#include "player/FileRead.h"
#include "res/AppIcon.h"
#include "res/DialogTemplates.h"
#include "res/ResourceIds.h"
#include "res/Strings.h"
#include "ui/core/Application.h"
#include "ui/core/DeviceContext.h"
#include "ui/core/FileDialog.h"

using namespace res;

char g_rootPath[252] = "C:\\Public\\Qen office\\take9\\take9";
int g_recordedFrames = 0;
int g_stopRecording = 0;

namespace {

// The icon is asked of the application object, as the framework's own
// windows do; it answers from the program's resources. Without one (a
// program that never made one) the resources answer directly.
ui::HICON LoadApplicationIcon() {
  if (const ui::Application* app = ui::CurrentApp())
    return app->LoadIcon(IDR_MAINFRAME);
  return FindIcon(IDR_MAINFRAME);
}

}  // namespace

CKorvaneDlg::CKorvaneDlg(ui::ModalDialog* parent) : ui::ModalDialog(ConsoleTemplate(), parent) {
  m_hIcon = LoadApplicationIcon();
}

const ui::MessageMapBase* CKorvaneDlg::GetMessageMap() const {
  using Map = ui::MessageMap<CKorvaneDlg>;
  static const Map map(nullptr, {
                                    Map::OnSysCommand(&CKorvaneDlg::OnSysCommand),
                                    Map::OnPaint(&CKorvaneDlg::OnPaint),
                                    Map::OnQueryDragIcon(&CKorvaneDlg::OnQueryDragIcon),
                                    Map::OnCommand(IDC_QUIT, &CKorvaneDlg::OnQuit),
                                    Map::OnCommand(IDC_RECORD, &CKorvaneDlg::OnRecord),
                                    Map::OnCommand(IDC_STOP, &CKorvaneDlg::OnStopRecording),
                                    Map::OnCommand(IDC_READ_SERIES, &CKorvaneDlg::OnReadFileSeries),
                                    Map::OnTimer(&CKorvaneDlg::OnRecordTimer),
                                    Map::OnCommand(IDC_BROWSE, &CKorvaneDlg::OnBrowse),
                                });
  return &map;
}

bool CKorvaneDlg::OnInitDialog() {
  ui::ModalDialog::OnInitDialog();

  // The About entry goes at the end of the system menu, after a separator.
  if (ui::Menu* systemMenu = GetSystemMenu(false)) {
    const std::string about(LoadResourceString(IDS_ABOUTBOX));
    if (!about.empty()) {
      systemMenu->AppendMenu(ui::MF_SEPARATOR);
      systemMenu->AppendMenu(ui::MF_STRING, IDM_ABOUTBOX, about.c_str());
    }
  }
  SetIcon(m_hIcon, true);
  SetIcon(m_hIcon, false);
  return true;  // the first control in tab order gets the focus
}

void CKorvaneDlg::OnSysCommand(ui::UINT nID, ui::LPARAM lParam) {
  if ((nID & 0xFFF0u) == IDM_ABOUTBOX) {
    CAboutDlg dlgAbout;
    dlgAbout.RunModal();
  } else {
    ui::ModalDialog::OnSysCommand(nID, lParam);
  }
}

void CKorvaneDlg::OnPaint() {
  if (!IsIconic()) {
    ui::ModalDialog::OnPaint();
    return;
  }
  ui::PaintContext dc(*this);
  SendMessage(ui::WM_ICONERASEBKGND, dc.Handle(), 0);

  // The icon centred in the client rectangle; the division truncates toward
  // zero, so a client area narrower than the icon gives a negative x.
  const int cxIcon = ui::GetSystemMetrics(ui::SM_CXICON);
  const int cyIcon = ui::GetSystemMetrics(ui::SM_CYICON);
  ui::Rect rect;
  GetClientRect(&rect);
  const int x = (rect.Width() - cxIcon + 1) / 2;
  const int y = (rect.Height() - cyIcon + 1) / 2;
  dc.DrawIcon(x, y, m_hIcon);
}

ui::HICON CKorvaneDlg::OnQueryDragIcon() {
  return m_hIcon;
}

void CKorvaneDlg::OnQuit() {
  std::exit(0);
}

void CKorvaneDlg::OnRecord() {}

void CKorvaneDlg::OnReadFileSeries() {
  g_fileReadDlg.m_lastFrame = 54;
  g_fileReadDlg.m_startFrame = 24;
  g_fileReadDlg.m_rootPath = g_rootPath;
  g_fileReadDlg.RunModal();
}

void CKorvaneDlg::OnBrowse() {
  ui::OpenFileDialog dialog(true, nullptr, nullptr, ui::OFN_HIDEREADONLY | ui::OFN_OVERWRITEPROMPT,
                            nullptr, nullptr);
  if (dialog.RunModal() != ui::IDOK)
    return;

  // A path longer than the root path can hold is refused as a whole: a cut
  // path would name files nobody chose.
  const std::string& path = dialog.GetPathName();
  if (path.size() >= sizeof g_rootPath) {
    const std::string message = "The path is too long (" + std::to_string(path.size()) +
                                " characters); a root path may have at most " +
                                std::to_string(sizeof g_rootPath - 1) + " characters.";
    MessageBox(message.c_str(), nullptr, ui::MB_OK | ui::MB_ICONEXCLAMATION);
    return;
  }
  std::snprintf(g_rootPath, sizeof g_rootPath, "%s", path.c_str());
  SetDlgItemText(IDC_ROOT_PATH, g_rootPath);
}
