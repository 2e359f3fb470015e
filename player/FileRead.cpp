#include "player/FileRead.h"

#include "image/FrameDisplay.h"
#include "res/DialogTemplates.h"
#include "res/ResourceIds.h"

using namespace res;

CFileRead::CFileRead(ui::ModalDialog* parent) : ui::ModalDialog(FileReadTemplate(), parent) {}

CFileRead::~CFileRead() {
  m_frame.reset();
  ReleaseDisplayPicture(m_picture);
}

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
  // Bound to its window, the picture is where frames are shown.
  SetDisplayPicture(m_picture);
  ui::ExchangeText(dx, IDC_ROOT_PATH, m_rootPath);
  ui::ExchangeText(dx, IDC_FRAME_RATE, m_frameRate);
  ui::ValidateRange(dx, m_frameRate, 1, 30);
  ui::ExchangeText(dx, IDC_LAST_FRAME, m_lastFrame);
  ui::ExchangeText(dx, IDC_START_FRAME, m_startFrame);
}
