#include "shell/layout.h"

// The four windows as they were designed. Rows are in creation order.

namespace {

using enum ControlType;

constexpr quint32 red = 0x000000FF;
const QString sansSerif = QStringLiteral("MS Sans Serif");

QString blanks(int count) {
    return QString(count, QLatin1Char(' '));
}

} // namespace

const WindowLayout& form1Layout() {
    static const WindowLayout layout{
        "Form1",
        "Form1",
        11670,
        7305,
        {
            {CommandButton, "Command1", "AVANTI", 3600, 5640, 2895, 855, 1, {}, {}, {}},
            {DocumentContainer, "OLE1", "", 1290, 330, 8415, 5055, 0, {}, {}, {}},
        },
        {
            {"OLE1", {}, "Documento introduttivo"},
        }};
    return layout;
}

const WindowLayout& form2Layout() {
    static const WindowLayout layout{
        "Form2",
        "Form2",
        9855,
        6840,
        {
            {CommandButton, "Command3", "ESCI", 360, 4080, 1695, 615, 4, {}, {}, {}},
            {CommandButton,
             "Command2",
             "KLICCARE  sulla barra di scorrimento fino a che la figura  risulti una "
             "CIRCONFERENZA",
             360,
             1560,
             6255,
             735,
             3,
             {},
             {},
             0x0080C0FF},
            {CommandButton,
             "Command1",
             "OK - continua",
             3120,
             2880,
             1575,
             615,
             2,
             {},
             {},
             0x8000000E},
            {TextBox, "Text1", "Text1", 360, 2880, 735, 375, 1, {}, {}, {}},
            {HorizontalScrollBar, "HScroll1", "", 480, 1080, 5895, 255, 0, {}, {}, {}},
            {Label,
             "Label1",
             "Per calibrare l' impostazione corretta della risoluzione dello SCHERMO",
             360,
             240,
             9135,
             495,
             5,
             FontChoice{sansSerif, 13.5, false},
             red,
             {}},
        },
        {
            {"Text1", {}, "Incr"}, // it shows the calibration factor
            // Named after what it sets; the heading above it stays its label.
            {"HScroll1", "Label1", "Fattore di calibrazione Incr"},
        }};
    return layout;
}

const WindowLayout& form3Layout() {
    static const WindowLayout layout{
        "Form3",
        " ",
        10605,
        7245,
        {
            {TextBox, "Text5", "1", 5400, 3720, 615, 495, 10, {}, {}, {}},
            {TextBox, "Text1", "86", 3720, 2040, 735, 495, 0, {}, {}, {}},
            {TextBox, "Text2", "55", 3720, 2880, 735, 495, 1, {}, {}, {}},
            {TextBox, "Text3", "90", 8160, 1920, 735, 495, 2, {}, {}, {}},
            {CommandButton, "Command1", "ESCI", 1080, 5640, 1935, 735, 4, {}, {}, {}},
            {CommandButton, "Command2", "AVANTI", 5280, 5640, 1935, 735, 3, {}, {}, {}},
            {Label, "Label6", "Incremento di  t  per  ALFA", 1800, 3840, 3015, 255, 9, {}, {}, {}},
            {Label,
             "Label1",
             "IMPOSTARE I VALORI DELLE COSTANTI",
             1800,
             360,
             6135,
             375,
             8,
             FontChoice{sansSerif, 13.5, true},
             red,
             {}},
            {Label,
             "Label2",
             "Valore  di OA",
             720,
             2040,
             2175,
             375,
             7,
             FontChoice{sansSerif, 12, false},
             {},
             {}},
            {Label,
             "Label3",
             "Angolo di OA con l'asse X",
             600,
             2880,
             2775,
             375,
             6,
             FontChoice{sansSerif, 12, false},
             {},
             {}},
            {Label,
             "Label4",
             "Valore massimo di ALFA = n," + blanks(20) + "per avere" + blanks(34) +
                 "OA/ n = Epsilon ",
             5280,
             1920,
             2775,
             735,
             5,
             FontChoice{sansSerif, 9.75, false},
             {},
             {}},
        },
        {
            {"Text1", "Label2", {}},
            {"Text2", "Label3", {}},
            {"Text3", "Label4", {}},
            {"Text5", "Label6", {}},
        }};
    return layout;
}

const WindowLayout& form4Layout() {
    static const WindowLayout layout{
        "Form4",
        "Form4",
        10605,
        6780,
        {
            {CommandButton,
             "Command4",
             "Traccia le linee tra le curve di I° livello",
             3000,
             1800,
             1695,
             615,
             3,
             {},
             {},
             {}},
            {CommandButton, "Command1", "RIPRENDI i dati", 960, 720, 1695, 615, 2, {}, {}, {}},
            {CommandButton,
             "Command2",
             "Cancella e riprendi" + blanks(6) + "i dati",
             3000,
             720,
             1695,
             615,
             1,
             {},
             {},
             {}},
            {CommandButton, "Command3", "ESCI", 960, 1800, 1695, 615, 0, {}, {}, {}},
        },
        {}};
    return layout;
}
