#include "player/FileRead.h"

#include "app/GlobalOrder.h"
#include "res/DialogTemplates.h"
#include "res/ResourceIds.h"

using namespace res;

// Constructed after the application object and before the track set; see
// app/GlobalOrder.h.
__attribute__((init_priority(order::kFileReadDlg))) CFileRead g_fileReadDlg;

CFileRead::CFileRead(ui::ModalDialog* parent) : ui::ModalDialog(FileReadTemplate(), parent) {}

const ui::MessageMapBase* CFileRead::GetMessageMap() const {
  using Map = ui::MessageMap<CFileRead>;
  static const Map map(nullptr, {
                                    Map::OnCommand(IDC_READ, &CFileRead::OnRead),
                                    Map::OnTimer(&CFileRead::OnPlayTimer),
                                    Map::OnCommand(IDC_STOP, &CFileRead::OnStop),
                                });
  return &map;
}

void CFileRead::ExchangeData(ui::DataExchange* dx) {
  ui::ModalDialog::ExchangeData(dx);
  ui::ExchangeControl(dx, IDC_PICTURE, m_picture);
  ui::ExchangeText(dx, IDC_ROOT_PATH, m_rootPath);
  ui::ExchangeText(dx, IDC_FRAME_RATE, m_frameRate);
  ui::ValidateRange(dx, m_frameRate, 1, 30);
  ui::ExchangeText(dx, IDC_LAST_FRAME, m_lastFrame);
  ui::ExchangeText(dx, IDC_START_FRAME, m_startFrame);
}
