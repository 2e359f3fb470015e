#include "player/FileRead.h"

#include "app/GlobalOrder.h"
#include "res/DialogTemplates.h"
#include "res/ResourceIds.h"

using namespace res;

// Constructed after the application object and before the track set; see
// app/GlobalOrder.h.
__attribute__((init_priority(order::kFileReadDlg))) CFileRead g_fileReadDlg;

CFileRead::CFileRead(ui::CDialog* parent) : ui::CDialog(FileReadTemplate(), parent) {}

const ui::MessageMapBase* CFileRead::GetMessageMap() const {
  using Map = ui::MessageMap<CFileRead>;
  static const Map map(nullptr, {
                                    Map::OnCommand(IDC_READ, &CFileRead::OnRead),
                                    Map::OnTimer(&CFileRead::OnPlayTimer),
                                    Map::OnCommand(IDC_STOP, &CFileRead::OnStop),
                                });
  return &map;
}

void CFileRead::ExchangeData(ui::CDataExchange* pDX) {
  ui::CDialog::ExchangeData(pDX);
  ui::DDX_Control(pDX, IDC_PICTURE, m_picture);
  ui::DDX_Text(pDX, IDC_ROOT_PATH, m_rootPath);
  ui::DDX_Text(pDX, IDC_FRAME_RATE, m_frameRate);
  ui::DDV_MinMaxInt(pDX, m_frameRate, 1, 30);
  ui::DDX_Text(pDX, IDC_LAST_FRAME, m_lastFrame);
  ui::DDX_Text(pDX, IDC_START_FRAME, m_startFrame);
}
