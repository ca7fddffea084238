// Every control of the window as the operator finds it at start: name, kind,
// place, size, text, choice list, selection and visibility; then the window
// itself, its fonts and pictures, and a layout with nothing cut or covered.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStringList>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTextDocument>
#include <algorithm>
#include <climits>
#include <iterator>
#include <memory>
#include <string>

#include "console/choice_box.h"
#include "console/port_feeder.h"
#include "console/tform1.h"
#include "ports/serial_ports.h"
#include "ui_tform1.h"

namespace {

constexpr int kNoIndex = INT_MIN;  // not a choice box or tab control

const QStringList kPorts = {"COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7", "COM8", "COM9"};
const QStringList kBauds = {"1200", "2400", "4800", "9600"};
const QStringList kParities = {"None", "Odd", "Even"};
const QStringList kCommandNumbers = {"0_Close", "1_CMD1", "2_CMD2", "3_CMD3", "4_CMD4"};
const QStringList kEnables = {"Close", "Open"};
const QStringList kFormats = {"0 Read float 4321",
                              "1 Read float 2143",
                              "2 Read float 1234",
                              "3 Read U32 4321",
                              "4 Read U32 2143",
                              "5 Read U32 1234",
                              "6 Read S32 4321",
                              "7 Read S32 2143",
                              "8 unsigned integer",
                              "9 signed (inverted)",
                              "10 signed (non-inverted)",
                              "11 BCD parse (high-low order)",
                              "12 BCD parse (low-high order)",
                              "13 String parse (high-low order)",
                              "14 String parse (low-high order)",
                              "15 Double float (high-low order)",
                              "16 Double float (low-high order)",
                              "17 BCD_LH_0x33",
                              "18 Int2/10",
                              "19 Int2/10-100",
                              "20 Int2/100",
                              "21 Int2/1000",
                              "22 String-to-float"};
const QStringList kFormatsWithEmpty = kFormats + QStringList{""};

struct Control {
    const char* name;
    const char* kind;    // the class the window creates
    const char* parent;  // the group, page or area that holds it
    QRect geometry;      // relative to the parent; empty: placed by the tab control
    const char* text;    // caption, title, tab caption or text as shown
    QStringList items;
    int selected;  // current index of a choice box or tab control
};

// clang-format off
const Control kControls[] = {
    {"Image2", "QLabel", "centralWidget", {8, 8, 97, 41}, "", {}, kNoIndex},
    {"Label1", "QLabel", "centralWidget", {224, 8, 593, 33}, "VK630-E Transmitter Configuration Software", {}, kNoIndex},
    {"Label23", "QLabel", "centralWidget", {736, 56, 120, 13}, "V1.0(2022-04-26)", {}, kNoIndex},
    {"Label4", "QLabel", "centralWidget", {8, 64, 68, 13}, "Serial Port:", {}, kNoIndex},
    {"SPREALCOM", "ChoiceBox", "centralWidget", {80, 56, 73, 21}, "COM1", kPorts, -1},
    {"Label6", "QLabel", "centralWidget", {184, 64, 36, 13}, "Baud:", {}, kNoIndex},
    {"ComboBox4", "ChoiceBox", "centralWidget", {224, 56, 65, 21}, "9600", kBauds, 3},
    {"Label7", "QLabel", "centralWidget", {304, 64, 44, 13}, "Parity:", {}, kNoIndex},
    {"ComboBox3", "ChoiceBox", "centralWidget", {352, 56, 73, 21}, "None", kParities, 0},
    {"Button1", "QPushButton", "centralWidget", {448, 56, 65, 25}, "Open", {}, kNoIndex},
    {"Button2", "QPushButton", "centralWidget", {536, 56, 137, 25}, "Communication Query", {}, kNoIndex},
    {"PageControl1", "QTabWidget", "centralWidget", {8, 88, 1025, 385}, "", {}, 0},
    {"TabSheet1", "TabPage", "PageControl1", {}, "Parameter Configuration", {}, kNoIndex},
    {"GroupBox2", "QGroupBox", "TabSheet1", {8, 8, 1001, 273}, "", {}, kNoIndex},
    {"Label8", "QLabel", "GroupBox2", {16, 20, 132, 13}, "Baud:", {}, kNoIndex},
    {"MR485BT", "ChoiceBox", "GroupBox2", {152, 16, 73, 21}, "9600", kBauds, 3},
    {"Label9", "QLabel", "GroupBox2", {232, 20, 44, 13}, "Parity:", {}, kNoIndex},
    {"MR485JN", "ChoiceBox", "GroupBox2", {280, 16, 73, 21}, "None", kParities, 0},
    {"Button17", "QPushButton", "GroupBox2", {368, 16, 57, 21}, "Set", {}, kNoIndex},
    {"Label10", "QLabel", "GroupBox2", {16, 56, 132, 13}, "Communication Interval:", {}, kNoIndex},
    {"JTME", "QLineEdit", "GroupBox2", {152, 52, 41, 21}, "10", {}, kNoIndex},
    {"Label11", "QLabel", "GroupBox2", {197, 56, 40, 13}, "* 0.1S", {}, kNoIndex},
    {"Button5", "QPushButton", "GroupBox2", {368, 52, 57, 21}, "Set", {}, kNoIndex},
    {"Label12", "QLabel", "GroupBox2", {16, 92, 132, 13}, "Device Address:", {}, kNoIndex},
    {"ADRM", "QLineEdit", "GroupBox2", {152, 88, 41, 21}, "001", {}, kNoIndex},
    {"Button10", "QPushButton", "GroupBox2", {368, 88, 57, 21}, "Set", {}, kNoIndex},
    {"Button9", "QPushButton", "GroupBox2", {440, 24, 113, 33}, "Read Parameters", {}, kNoIndex},
    {"Button4", "QPushButton", "GroupBox2", {440, 72, 113, 33}, "Read Data", {}, kNoIndex},
    {"GroupBox4", "QGroupBox", "GroupBox2", {640, 8, 353, 129}, "Current Output Test", {}, kNoIndex},
    {"Button11", "QPushButton", "GroupBox4", {16, 32, 129, 25}, "Enter Test Mode", {}, kNoIndex},
    {"Button12", "QPushButton", "GroupBox4", {16, 80, 129, 25}, "Calculation Coefficient", {}, kNoIndex},
    {"Label22", "QLabel", "GroupBox4", {152, 24, 116, 13}, "Input Current Value:", {}, kNoIndex},
    {"Edit1", "QLineEdit", "GroupBox4", {272, 20, 49, 21}, "20", {}, kNoIndex},
    {"Label24", "QLabel", "GroupBox4", {325, 24, 20, 13}, "mA", {}, kNoIndex},
    {"Label25", "QLabel", "GroupBox4", {152, 50, 116, 13}, "CH1 Actual Current:", {}, kNoIndex},
    {"Edit2", "QLineEdit", "GroupBox4", {272, 46, 49, 21}, "20", {}, kNoIndex},
    {"Label26", "QLabel", "GroupBox4", {152, 76, 116, 13}, "CH2 Actual Current:", {}, kNoIndex},
    {"Edit3", "QLineEdit", "GroupBox4", {272, 72, 49, 21}, "20", {}, kNoIndex},
    {"Label27", "QLabel", "GroupBox4", {152, 102, 116, 13}, "CH3 Actual Current:", {}, kNoIndex},
    {"Edit5", "QLineEdit", "GroupBox4", {272, 98, 49, 21}, "20", {}, kNoIndex},
    {"GroupBox7", "QGroupBox", "GroupBox2", {8, 136, 609, 129}, "MODBUS Parsing Method", {}, kNoIndex},
    {"Label13", "QLabel", "GroupBox7", {42, 18, 78, 13}, "Command Num", {}, kNoIndex},
    {"Label14", "QLabel", "GroupBox7", {120, 18, 60, 13}, "Start Add.", {}, kNoIndex},
    {"Label15", "QLabel", "GroupBox7", {180, 18, 70, 13}, "Data Length", {}, kNoIndex},
    {"Label16", "QLabel", "GroupBox7", {250, 18, 177, 13}, "Data Parsing Format", {}, kNoIndex},
    {"Label17", "QLabel", "GroupBox7", {438, 18, 67, 13}, "Coefficient", {}, kNoIndex},
    {"Label18", "QLabel", "GroupBox7", {505, 18, 55, 13}, "Migration", {}, kNoIndex},
    {"Label19", "QLabel", "GroupBox7", {8, 39, 34, 13}, "MAD1:", {}, kNoIndex},
    {"MAD1USE", "ChoiceBox", "GroupBox7", {44, 35, 75, 21}, "0_Close", kCommandNumbers, -1},
    {"MAD1MADR", "QLineEdit", "GroupBox7", {127, 35, 46, 21}, "01", {}, kNoIndex},
    {"MAD1DADR", "QLineEdit", "GroupBox7", {195, 35, 41, 21}, "0", {}, kNoIndex},
    {"MAD1XIN", "ChoiceBox", "GroupBox7", {242, 35, 193, 21}, "0 Read float 4321", kFormats, 0},
    {"MAD1XS", "QLineEdit", "GroupBox7", {443, 35, 57, 21}, "000001", {}, kNoIndex},
    {"DataQY1", "QLineEdit", "GroupBox7", {508, 35, 49, 21}, "00000", {}, kNoIndex},
    {"Button170", "QPushButton", "GroupBox7", {565, 35, 37, 21}, "Set", {}, kNoIndex},
    {"Label20", "QLabel", "GroupBox7", {8, 63, 34, 13}, "MAD2:", {}, kNoIndex},
    {"MAD2USE", "ChoiceBox", "GroupBox7", {44, 59, 75, 21}, "0_Close", kCommandNumbers, -1},
    {"MAD2MADR", "QLineEdit", "GroupBox7", {127, 59, 46, 21}, "01", {}, kNoIndex},
    {"MAD2DADR", "QLineEdit", "GroupBox7", {195, 59, 41, 21}, "0", {}, kNoIndex},
    {"MAD2XIN", "ChoiceBox", "GroupBox7", {242, 59, 193, 21}, "0 Read float 4321", kFormatsWithEmpty, 0},
    {"MAD2XS", "QLineEdit", "GroupBox7", {443, 59, 57, 21}, "000001", {}, kNoIndex},
    {"DataQY2", "QLineEdit", "GroupBox7", {508, 59, 49, 21}, "00000", {}, kNoIndex},
    {"Button171", "QPushButton", "GroupBox7", {565, 59, 37, 21}, "Set", {}, kNoIndex},
    {"Label21", "QLabel", "GroupBox7", {8, 87, 34, 13}, "MAD3:", {}, kNoIndex},
    {"MAD3USE", "ChoiceBox", "GroupBox7", {44, 83, 75, 21}, "0_Close", kCommandNumbers, -1},
    {"MAD3MADR", "QLineEdit", "GroupBox7", {127, 83, 46, 21}, "01", {}, kNoIndex},
    {"MAD3DADR", "QLineEdit", "GroupBox7", {195, 83, 41, 21}, "0", {}, kNoIndex},
    {"MAD3XIN", "ChoiceBox", "GroupBox7", {242, 83, 193, 21}, "0 Read float 4321", kFormats, 0},
    {"MAD3XS", "QLineEdit", "GroupBox7", {443, 83, 57, 21}, "000001", {}, kNoIndex},
    {"DataQY3", "QLineEdit", "GroupBox7", {508, 83, 49, 21}, "00000", {}, kNoIndex},
    {"Button172", "QPushButton", "GroupBox7", {565, 83, 37, 21}, "Set", {}, kNoIndex},
    {"GroupBox1", "QGroupBox", "GroupBox2", {640, 136, 353, 129}, "", {}, kNoIndex},
    {"Label28", "QLabel", "GroupBox1", {72, 14, 65, 13}, "OUT_DC4mA", {}, kNoIndex},
    {"Label29", "QLabel", "GroupBox1", {146, 14, 77, 13}, "OUT_DC20mA", {}, kNoIndex},
    {"Label2", "QLabel", "GroupBox1", {16, 36, 52, 13}, "DOUT1:", {}, kNoIndex},
    {"DAO1H", "QLineEdit", "GroupBox1", {72, 32, 65, 21}, "0.000", {}, kNoIndex},
    {"DAO1L", "QLineEdit", "GroupBox1", {160, 32, 49, 21}, "100.0", {}, kNoIndex},
    {"Button6", "QPushButton", "GroupBox1", {232, 32, 57, 21}, "Set", {}, kNoIndex},
    {"Label3", "QLabel", "GroupBox1", {16, 68, 52, 13}, "DOUT2:", {}, kNoIndex},
    {"DAO2H", "QLineEdit", "GroupBox1", {72, 64, 65, 21}, "0.000", {}, kNoIndex},
    {"DAO2L", "QLineEdit", "GroupBox1", {160, 64, 49, 21}, "100.0", {}, kNoIndex},
    {"Button7", "QPushButton", "GroupBox1", {232, 64, 57, 21}, "Set", {}, kNoIndex},
    {"Label5", "QLabel", "GroupBox1", {16, 100, 52, 13}, "DOUT3:", {}, kNoIndex},
    {"DAO3H", "QLineEdit", "GroupBox1", {72, 96, 65, 21}, "0.000", {}, kNoIndex},
    {"DAO3L", "QLineEdit", "GroupBox1", {160, 96, 49, 21}, "100.0", {}, kNoIndex},
    {"Button8", "QPushButton", "GroupBox1", {232, 96, 57, 21}, "Set", {}, kNoIndex},
    {"GroupBox5", "QGroupBox", "TabSheet1", {8, 282, 497, 73}, "Command1", {}, kNoIndex},
    {"Label30", "QLabel", "GroupBox5", {8, 20, 40, 13}, "Enable:", {}, kNoIndex},
    {"COMAD1", "ChoiceBox", "GroupBox5", {52, 16, 65, 21}, "Close", kEnables, -1},
    {"Label31", "QLabel", "GroupBox5", {121, 20, 56, 13}, "Command:", {}, kNoIndex},
    {"COMDDATA1", "QLineEdit", "GroupBox5", {181, 16, 177, 21}, "0103000000044409", {}, kNoIndex},
    {"Button76", "QPushButton", "GroupBox5", {372, 16, 53, 21}, "Query", {}, kNoIndex},
    {"Button73", "QPushButton", "GroupBox5", {432, 16, 53, 21}, "Set", {}, kNoIndex},
    {"Label32", "QLabel", "GroupBox5", {8, 48, 120, 13}, "Returned Data Parsing", {}, kNoIndex},
    {"Label33", "QLabel", "GroupBox5", {130, 48, 36, 13}, "Byte1:", {}, kNoIndex},
    {"ACOMBY1", "QLineEdit", "GroupBox5", {170, 44, 25, 21}, "01", {}, kNoIndex},
    {"Label34", "QLabel", "GroupBox5", {199, 48, 36, 13}, "Byte2:", {}, kNoIndex},
    {"ACOMBY2", "QLineEdit", "GroupBox5", {239, 44, 25, 21}, "03", {}, kNoIndex},
    {"Label35", "QLabel", "GroupBox5", {268, 48, 36, 13}, "Byte3:", {}, kNoIndex},
    {"ACOMBY3", "QLineEdit", "GroupBox5", {308, 44, 25, 21}, "00", {}, kNoIndex},
    {"Button74", "QPushButton", "GroupBox5", {372, 44, 53, 21}, "Query", {}, kNoIndex},
    {"Button75", "QPushButton", "GroupBox5", {432, 44, 53, 21}, "Set", {}, kNoIndex},
    {"GroupBox3", "QGroupBox", "TabSheet1", {512, 282, 497, 73}, "Command2", {}, kNoIndex},
    {"Label36", "QLabel", "GroupBox3", {8, 20, 40, 13}, "Enable:", {}, kNoIndex},
    {"COMAD2", "ChoiceBox", "GroupBox3", {52, 16, 65, 21}, "Close", kEnables, -1},
    {"Label37", "QLabel", "GroupBox3", {121, 20, 56, 13}, "Command:", {}, kNoIndex},
    {"COMDDATA2", "QLineEdit", "GroupBox3", {181, 16, 177, 21}, "0103000000044409", {}, kNoIndex},
    {"Button81", "QPushButton", "GroupBox3", {372, 16, 53, 21}, "Query", {}, kNoIndex},
    {"Button3", "QPushButton", "GroupBox3", {432, 16, 53, 21}, "Set", {}, kNoIndex},
    {"Label38", "QLabel", "GroupBox3", {8, 48, 120, 13}, "Returned Data Parsing", {}, kNoIndex},
    {"Label39", "QLabel", "GroupBox3", {130, 48, 36, 13}, "Byte1:", {}, kNoIndex},
    {"BCOMBY1", "QLineEdit", "GroupBox3", {170, 44, 25, 21}, "01", {}, kNoIndex},
    {"Label40", "QLabel", "GroupBox3", {199, 48, 36, 13}, "Byte2:", {}, kNoIndex},
    {"BCOMBY2", "QLineEdit", "GroupBox3", {239, 44, 25, 21}, "03", {}, kNoIndex},
    {"Label41", "QLabel", "GroupBox3", {268, 48, 36, 13}, "Byte3:", {}, kNoIndex},
    {"BCOMBY3", "QLineEdit", "GroupBox3", {308, 44, 25, 21}, "00", {}, kNoIndex},
    {"Button79", "QPushButton", "GroupBox3", {372, 44, 53, 21}, "Query", {}, kNoIndex},
    {"Button80", "QPushButton", "GroupBox3", {432, 44, 53, 21}, "Set", {}, kNoIndex},
    {"TabSheet2", "TabPage", "PageControl1", {}, "Wiring Diagram", {}, kNoIndex},
    {"Image1", "QLabel", "TabSheet2", {264, 48, 497, 257}, "", {}, kNoIndex},
    {"Label42", "QLabel", "centralWidget", {24, 488, 68, 13}, "Send Buffer:", {}, kNoIndex},
    {"discomm", "QLineEdit", "centralWidget", {96, 488, 825, 21}, "", {}, kNoIndex},
    {"Label43", "QLabel", "centralWidget", {16, 520, 76, 13}, "Receive Buffer:", {}, kNoIndex},
    {"Memo10", "QPlainTextEdit", "centralWidget", {96, 520, 825, 41}, "", {}, kNoIndex},
};
// clang-format on

class WindowAtStart : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        form = new TForm1;
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form));
        // The ports present are listed once the window has been painted.
        ASSERT_TRUE(QTest::qWaitFor([] { return form->portFeeder().started(); }));
    }
    static void TearDownTestSuite() {
        delete form;
        form = nullptr;
    }
    static Ui::TForm1& ui() { return *form->controls(); }

    static TForm1* form;
};
TForm1* WindowAtStart::form = nullptr;

QString ShownText(QWidget* w) {
    if (auto* label = qobject_cast<QLabel*>(w)) return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(w)) return button->text();
    if (auto* edit = qobject_cast<QLineEdit*>(w)) return edit->text();
    if (auto* box = qobject_cast<QComboBox*>(w)) return box->currentText();
    if (auto* group = qobject_cast<QGroupBox*>(w)) return group->title();
    if (auto* memo = qobject_cast<QPlainTextEdit*>(w)) return memo->toPlainText();
    if (auto* tabs = qobject_cast<QTabWidget*>(w->parentWidget()->parentWidget()))
        return tabs->tabText(tabs->indexOf(w));
    return {};
}

// One test over the whole table: the window is built once for all of it.
void ExpectAsDescribed(TForm1& form, const Control& c) {
    Ui::TForm1& ui = *form.controls();
    auto* w = form.findChild<QWidget*>(c.name);
    ASSERT_NE(w, nullptr);
    EXPECT_STREQ(w->metaObject()->className(), c.kind);
    auto* tabs = qobject_cast<QTabWidget*>(w->parentWidget()->parentWidget());
    const QString parent = tabs != nullptr && tabs->indexOf(w) >= 0
                               ? tabs->objectName()
                               : w->parentWidget()->objectName();
    EXPECT_EQ(parent, c.parent);
    if (!c.geometry.isEmpty()) {
        EXPECT_EQ(w->geometry(), c.geometry);
    }
    EXPECT_EQ(ShownText(w), c.text);
    if (auto* box = qobject_cast<QComboBox*>(w)) {
        QStringList items;
        for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
        // The port box's own items come first, then the ports present.
        QStringList expected = c.items;
        if (w == ui.SPREALCOM)
            for (const ports::SerialPort& port : ports::ListSerialPorts())
                expected << QString::fromStdString(port.path);
        EXPECT_EQ(items, expected);
        EXPECT_EQ(box->currentIndex(), c.selected);
        EXPECT_TRUE(box->isEditable());
        EXPECT_EQ(box->insertPolicy(), QComboBox::NoInsert);
    } else if (auto* pages = qobject_cast<QTabWidget*>(w)) {
        EXPECT_EQ(pages->currentIndex(), c.selected);
    } else {
        EXPECT_EQ(c.selected, kNoIndex);
    }
    // Only the second page and what it holds are out of sight at start.
    const bool onSecondPage = w == ui.TabSheet2 || w->parentWidget() == ui.TabSheet2;
    EXPECT_EQ(w->isVisible(), !onSecondPage);
    EXPECT_FALSE(w->isHidden() && !onSecondPage);
}

TEST_F(WindowAtStart, EveryControlIsAsTheWindowDescriptionSays) {
    for (const Control& c : kControls) {
        SCOPED_TRACE(c.name);
        ExpectAsDescribed(*form, c);
    }
}

// Nothing the window holds is missing from the table above.
TEST_F(WindowAtStart, TableCoversEveryNamedControl) {
    int named = 0;
    for (QWidget* w : ui().centralWidget->findChildren<QWidget*>()) {
        if (w->objectName().isEmpty() || w->objectName().startsWith("qt_")) continue;
        // Parts Qt builds inside a control: a choice box's text field, the
        // tab bar's scroll buttons.
        if (qobject_cast<QComboBox*>(w->parentWidget()) != nullptr ||
            qobject_cast<QTabBar*>(w->parentWidget()) != nullptr)
            continue;
        ++named;
        const auto found =
            std::find_if(std::begin(kControls), std::end(kControls),
                         [&](const Control& c) { return w->objectName() == c.name; });
        EXPECT_NE(found, std::end(kControls)) << w->objectName().toStdString();
    }
    EXPECT_EQ(named, static_cast<int>(std::size(kControls)));
}

TEST_F(WindowAtStart, WindowHasCaptionSizePlaceAndIcon) {
    EXPECT_EQ(form->windowTitle(), "VK630-E");
    // The outer 1051 x 613 less a frame of 8 px a side and a 31 px title bar,
    // grown by the menu bar above the controls.
    const int bar = form->menuBar()->height();
    EXPECT_GT(bar, 0);
    EXPECT_EQ(form->size(), QSize(1035, 574 + bar));
    EXPECT_EQ(form->frameGeometry().topLeft(), QPoint(391, 186));
    EXPECT_EQ(form->windowIcon().availableSizes(), QList<QSize>{QSize(32, 32)});
    const QColor silver(192, 192, 192);
    EXPECT_EQ(form->palette().color(QPalette::Window), silver);
    EXPECT_EQ(form->palette().color(QPalette::Button), silver);
    EXPECT_EQ(ui().centralWidget->geometry(), QRect(0, bar, 1035, 574))
        << "the controls' positions are relative to the client area below the menu bar";
}

TEST_F(WindowAtStart, BoldWindowFontRegularPageContents) {
    struct Face {
        QWidget* widget;
        int pixelSize;
        bool bold;
    };
    const Face faces[] = {
        {ui().Button1, 11, true},
        {ui().SPREALCOM, 11, true},
        {ui().Label4, 11, true},
        {ui().PageControl1->findChild<QTabBar*>(), 11, true},  // the tab captions
        {ui().Label23, 11, false},
        {ui().GroupBox7, 11, false},
        {ui().JTME, 11, false},
        {ui().Button9, 11, false},
        {ui().Image1, 11, false},
        {ui().Label42, 11, false},
        {ui().discomm, 11, false},
        {ui().Memo10, 11, false},
        {ui().Label1, 27, true},
    };
    for (const Face& f : faces) {
        const QFontInfo info(f.widget->font());
        EXPECT_EQ(info.pixelSize(), f.pixelSize) << f.widget->objectName().toStdString();
        EXPECT_EQ(info.bold(), f.bold) << f.widget->objectName().toStdString();
    }
}

// Decoded no larger than needed to cover the area, and stretched over it.
void ExpectPictureCovers(const QLabel& picture) {
    EXPECT_TRUE(picture.hasScaledContents());
    const QSize decoded = picture.pixmap().size();
    EXPECT_GE(decoded.width(), picture.width()) << picture.objectName().toStdString();
    EXPECT_GE(decoded.height(), picture.height()) << picture.objectName().toStdString();
}

TEST_F(WindowAtStart, LogoIsDecodedAndStretched) {
    ExpectPictureCovers(*ui().Image2);
}

TEST_F(WindowAtStart, WiringDiagramIsDecodedWhenItsPageIsShown) {
    EXPECT_TRUE(ui().Image1->pixmap().isNull()) << "nothing decoded for a page out of sight";
    ui().PageControl1->setCurrentWidget(ui().TabSheet2);
    ExpectPictureCovers(*ui().Image1);
    ui().PageControl1->setCurrentWidget(ui().TabSheet1);
}

TEST_F(WindowAtStart, ReceiveBoxHoldsOneEmptyLineWrappedWithoutScrollBars) {
    EXPECT_EQ(ui().Memo10->document()->blockCount(), 1);
    EXPECT_EQ(ui().Memo10->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    EXPECT_EQ(ui().Memo10->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(ui().Memo10->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
}

// A frame is shown whole however long: one send carries up to 65535 bytes.
TEST_F(WindowAtStart, SendLineHoldsTheLongestFrame) {
    EXPECT_GE(ui().discomm->maxLength(), 65535);
}

// Every control must lie wholly inside the area that holds it, and no two
// controls of one area may cover each other: a group box cut off at the
// bottom of its page or a field hidden under its label would go unseen.
TEST_F(WindowAtStart, NothingIsCutOffOrCovered) {
    for (const Control& c : kControls) {
        auto* w = form->findChild<QWidget*>(c.name);
        ASSERT_NE(w, nullptr);
        if (c.geometry.isEmpty()) continue;
        const QWidget* holder = w->parentWidget();
        // A page out of sight is sized only when first shown; both pages
        // get the size of the one in front.
        const QRect area = holder == ui().TabSheet2 ? ui().TabSheet1->rect() : holder->rect();
        EXPECT_TRUE(area.contains(w->geometry()))
            << c.name << " leaves " << holder->objectName().toStdString() << " of size "
            << area.width() << "x" << area.height();
        for (const Control& other : kControls) {
            if (&other == &c || other.geometry.isEmpty()) continue;
            auto* o = form->findChild<QWidget*>(other.name);
            if (o->parentWidget() != holder || &other < &c) continue;
            // GroupBox4 and GroupBox1 share their frame line, as described.
            const QRect common = w->geometry().intersected(o->geometry());
            EXPECT_TRUE(common.isEmpty() || common.height() == 1 || common.width() == 1)
                << c.name << " and " << other.name << " overlap";
        }
    }
}

// Captions are laid out for an 11-pixel face; with the face in use they
// must still be readable whole.
TEST_F(WindowAtStart, EveryCaptionFitsItsControl) {
    for (QLabel* label : ui().centralWidget->findChildren<QLabel*>()) {
        if (label->text().isEmpty()) continue;
        const int advance = QFontMetrics(label->font()).horizontalAdvance(label->text());
        EXPECT_LE(advance, label->width()) << label->objectName().toStdString() << " in "
                                           << QFontInfo(label->font()).family().toStdString();
    }
    for (QPushButton* button : ui().centralWidget->findChildren<QPushButton*>()) {
        const int advance = QFontMetrics(button->font()).horizontalAdvance(button->text());
        EXPECT_LE(advance + 6, button->width()) << button->objectName().toStdString();
    }
}

TEST_F(WindowAtStart, SecondPageShowsTheWiringDiagram) {
    ui().PageControl1->setCurrentWidget(ui().TabSheet2);
    EXPECT_TRUE(ui().Image1->isVisible());
    EXPECT_FALSE(ui().GroupBox2->isVisible());
    ui().PageControl1->setCurrentWidget(ui().TabSheet1);
}

}  // namespace
