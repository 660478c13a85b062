#include "windows/QelAboutBox.h"

#include <QFont>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <string>

#include "windows/QELUrlLabel.h"
#include "windows/QelVersionInfo.h"

namespace {

constexpr int LabelLeft = 56;
constexpr int SquareLeft = 40;
constexpr int FirstTop = 190;
constexpr int SquareOffset = 4;
constexpr int LineStep = 20;
constexpr int BreakStep = 15;

const QColor Teal(0x00, 0x80, 0x80);
const QColor Navy(0x00, 0x00, 0x80);
const QColor Maroon(0x80, 0x00, 0x00);

TAboutBoxDialog::TPageIndex PageOf(int index) {
  if (index <= atCopyright) return TAboutBoxDialog::piProdukt;
  if (index <= atVertriebHotline) return TAboutBoxDialog::piVertrieb;
  if (index <= atKundeTelNr) return TAboutBoxDialog::piKunde;
  return TAboutBoxDialog::piHersteller;
}

bool IsWeb(int index) { return index == atVertriebWeb || index == atKundeWeb || index == atHerstellerWeb; }
bool IsMail(int index) { return index == atVertriebEMail || index == atKundeEMail || index == atHerstellerEMail; }

// CR LF, CR and LF each end a line.
int LineBreaks(const QString& text) {
  int breaks = 0;
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] == QLatin1Char('\r')) {
      ++breaks;
      if (i + 1 < text.size() && text[i + 1] == QLatin1Char('\n')) ++i;
    } else if (text[i] == QLatin1Char('\n')) {
      ++breaks;
    }
  }
  return breaks;
}

QString WithNewLines(QString text) {
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return text;
}

void SetTextColour(QWidget* widget, const QColor& colour) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::WindowText, colour);
  widget->setPalette(palette);
}

QLabel* MakeInfoLabel(int index, QWidget* page) {
  if (!IsWeb(index) && !IsMail(index)) {
    auto* label = new QLabel(page);
    label->setTextFormat(Qt::PlainText);
    if (index == atCopyright) SetTextColour(label, Maroon);
    if (index == atVertriebHotline) SetTextColour(label, Qt::red);
    return label;
  }
  auto* link = new TQELUrlLabel(page);
  link->SetUseCaption(true);
  link->SetURLType(IsWeb(index) ? TQELUrlLabel::utHTTP : TQELUrlLabel::utMail);
  link->SetInactiveColor(IsWeb(index) ? Teal : Navy);
  return link;
}

}  // namespace

// ---- Dialog -----------------------------------------------------------------------------------

TAboutBoxDialog::TAboutBoxDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint) {
  setObjectName(QStringLiteral("AboutBoxDialog"));
  setFixedSize(504, 370);
  QFont face(QStringLiteral("Sans Serif"));
  face.setStyleHint(QFont::SansSerif);
  face.setPixelSize(13);
  face.setBold(true);
  setFont(face);

  PageControl = new QTabWidget(this);
  PageControl->setObjectName(QStringLiteral("PageControl"));
  CreatePage(piProdukt, QStringLiteral("&Produkt"));
  CreatePage(piKunde, QStringLiteral("&Kunde"));
  CreatePage(piVertrieb, QStringLiteral("&Vertrieb"));
  CreatePage(piHersteller, QStringLiteral("&Hersteller"));
  CreateLabels();

  btnClose = new QPushButton(QStringLiteral("&Schließen"), FPages[piProdukt]);
  btnClose->setObjectName(QStringLiteral("btnClose"));
  btnClose->setToolTip(QStringLiteral("Infofenster schließen"));
  btnClose->setGeometry(384, 296, 105, 33);
  btnClose->setDefault(true);  // Escape closes a dialog as well
  connect(btnClose, &QPushButton::clicked, this, &QDialog::accept);
  connect(PageControl, &QTabWidget::currentChanged, this, [this](int page) { PageShown(page); });

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(PageControl);
  PageControl->setCurrentIndex(piProdukt);
}

void TAboutBoxDialog::CreatePage(TPageIndex page, const QString& caption) {
  auto* panel = new QWidget;
  panel->setAutoFillBackground(true);
  QPalette palette = panel->palette();
  palette.setColor(QPalette::Window, Qt::white);
  panel->setPalette(palette);
  auto* logo = new QLabel(panel);
  logo->move(8, 8);
  logo->hide();
  FPages[page] = panel;
  FLogos[page] = logo;
  PageControl->addTab(panel, caption);
}

void TAboutBoxDialog::CreateLabels() {
  for (int index = 1; index <= AboutTextCount; ++index) {
    const TPageIndex page = PageOf(index);
    QLabel* label = MakeInfoLabel(index, FPages[page]);
    auto* square = new QFrame(FPages[page]);
    square->setAutoFillBackground(true);
    QPalette palette = square->palette();
    palette.setColor(QPalette::Window, Qt::black);
    square->setPalette(palette);
    square->setGeometry(SquareLeft, FirstTop + SquareOffset, 9, 9);
    label->move(LabelLeft, FirstTop);
    label->hide();
    square->hide();
    FInfos.push_back({page * 100 + index, label, square});
  }
}

const TAboutBoxDialog::TInfo* TAboutBoxDialog::Find(int index) const {
  for (const TInfo& info : FInfos)
    if (info.Tag % 100 == index) return &info;
  return nullptr;
}

QLabel* TAboutBoxDialog::InfoLabel(int index) const {
  const TInfo* info = Find(index);
  return info ? info->Label : nullptr;
}

QWidget* TAboutBoxDialog::Square(int index) const {
  const TInfo* info = Find(index);
  return info ? info->Square : nullptr;
}

void TAboutBoxDialog::SetAboutBoxInfo(int index, const QString& text) {
  const TInfo* info = Find(index);
  if (info == nullptr)
    throw EQELAboutBox("SetAboutBoxInfo(" + std::to_string(index) + ", " + text.toStdString() + ")");
  info->Label->setText(WithNewLines(text));
  info->Label->adjustSize();
  info->Label->setVisible(!text.isEmpty());
  info->Square->setVisible(!text.isEmpty());
  // Line breaks are counted in the text as given, so keep it.
  info->Label->setProperty("aboutText", text);
}

void TAboutBoxDialog::SetLogo(TPageIndex page, const QPixmap& logo) {
  QLabel* image = FLogos[page];
  image->setPixmap(logo);
  image->resize(logo.size());
  image->setVisible(!logo.isNull());
}

void TAboutBoxDialog::ShowPages(TAboutBoxPages pages) {
  const std::pair<TPageIndex, TAboutBoxPage> bits[] = {
      {piProdukt, abProdukt}, {piKunde, abKunde}, {piVertrieb, abVertrieb}, {piHersteller, abHersteller}};
  for (const auto& [page, bit] : bits) PageControl->setTabVisible(page, (pages & bit) != 0);
  for (const auto& [page, bit] : bits) {
    if ((pages & bit) != 0) {
      PageControl->setCurrentIndex(page);
      break;
    }
  }
}

void TAboutBoxDialog::ArrangeLabels() {
  std::array<int, 4> top{FirstTop, FirstTop, FirstTop, FirstTop};
  for (const TInfo& info : FInfos) {  // in index order
    int& pageTop = top[static_cast<std::size_t>(info.Tag / 100)];
    info.Label->move(LabelLeft, pageTop);
    info.Square->move(SquareLeft, pageTop + SquareOffset);
    if (info.Label->isHidden()) continue;
    pageTop += LineStep + BreakStep * LineBreaks(info.Label->property("aboutText").toString());
  }
}

// The close button goes along to the page shown.
void TAboutBoxDialog::PageShown(int page) {
  if (page < 0 || page >= static_cast<int>(FPages.size())) return;
  const QRect place = btnClose->geometry();
  btnClose->setParent(FPages[static_cast<std::size_t>(page)]);
  btnClose->setGeometry(place);
  btnClose->show();
}

void TAboutBoxDialog::keyPressEvent(QKeyEvent* event) {
  if (OnKeyDown) OnKeyDown(*event);
  if (OnKeyPress && !event->text().isEmpty()) OnKeyPress(*event);
  QDialog::keyPressEvent(event);
}

void TAboutBoxDialog::keyReleaseEvent(QKeyEvent* event) {
  if (OnKeyUp) OnKeyUp(*event);
  QDialog::keyReleaseEvent(event);
}

// ---- Component --------------------------------------------------------------------------------

TQELAboutBox::TQELAboutBox(QObject* parent) : QObject(parent) {}

const QString& TQELAboutBox::Text(int index) const {
  static const QString none;
  return index >= 1 && index <= AboutTextCount ? FTexts[static_cast<std::size_t>(index - 1)] : none;
}

void TQELAboutBox::SetText(int index, const QString& text) {
  if (index >= 1 && index <= AboutTextCount) FTexts[static_cast<std::size_t>(index - 1)] = text;
}

std::unique_ptr<TAboutBoxDialog> TQELAboutBox::MakeDialog(QWidget* parent) const {
  auto dialog = std::make_unique<TAboutBoxDialog>(parent);
  for (int page = 0; page < 4; ++page) {
    const auto index = static_cast<TAboutBoxDialog::TPageIndex>(page);
    dialog->SetLogo(index, FLogos[static_cast<std::size_t>(page)]);
  }
  dialog->ShowPages(Pages);
  for (int index = 1; index <= AboutTextCount; ++index) dialog->SetAboutBoxInfo(index, Text(index));
  if (UseVersionInfo) {
    TQELVersionInfo info;
    info.Load();
    const std::pair<int, const char*> fromVersion[] = {
        {atProduktName, "Productname"}, {atProduktVersion, "ProductVersion"},
        {atCopyright, "LegalCopyright"}, {atProduktDatum, "ProduktDatum"}};
    for (const auto& [index, name] : fromVersion) {
      const std::string value = info.StringValue(name);
      if (!value.empty()) dialog->SetAboutBoxInfo(index, Text(index) + QString::fromStdString(value));
    }
  }
  dialog->ArrangeLabels();
  dialog->setWindowTitle(Caption);
  dialog->OnKeyPress = OnKeyPress;
  dialog->OnKeyDown = OnKeyDown;
  dialog->OnKeyUp = OnKeyUp;
  return dialog;
}

void TQELAboutBox::Execute(QWidget* parent) const { MakeDialog(parent)->exec(); }
