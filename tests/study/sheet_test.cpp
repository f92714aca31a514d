// SPDX-License-Identifier: GPL-3.0-or-later
#include "study/list_export.h"
#include "study/sheet.h"
#include "study/xlsx_sheet.h"
#include "support/temp_files.h"
#include "support/xlsx_reader.h"

#include <gtest/gtest.h>

namespace solandre {
namespace {

using testing::readBytes;
using testing::TempDir;

TEST(Sheet, FieldsAreQuotedOnlyWhenTheyMustBeAndCsvNeverRunsAFormula)
{
    struct Case { const char* name; std::string field; std::string csv; std::string tsv; };
    const Case cases[] = {
        {"plain", "la casa", "la casa", "la casa"},
        {"empty", "", "", ""},
        {"a comma", "sí, no", "\"sí, no\"", "sí, no"},
        {"a tab", "a\tb", "a\tb", "\"a\tb\""},
        {"quotes are doubled", "dijo \"no\"", "\"dijo \"\"no\"\"\"", "\"dijo \"\"no\"\"\""},
        {"a line break", "una\r\ndos", "\"una\r\ndos\"", "\"una\r\ndos\""},
        {"a bare line feed", "una\ndos", "\"una\ndos\"", "\"una\ndos\""},
        {"a semicolon is plain", "a; b", "a; b", "a; b"},
        // What a spreadsheet runs as a formula shows as text in CSV; TSV keeps it.
        {"an equals sign first", "=1+2", "'=1+2", "=1+2"},
        {"a plus first", "+34 600", "'+34 600", "+34 600"},
        {"a dialogue line", "- Hola - dijo.", "'- Hola - dijo.", "- Hola - dijo."},
        {"an at sign first", "@SUMA(A1)", "'@SUMA(A1)", "@SUMA(A1)"},
        {"a tab first", "\t=1", "'\t=1", "\"\t=1\""},
        {"a carriage return first", "\r=1", "\"'\r=1\"", "\"\r=1\""},
        {"quoted and neutralised", "=HIPERVINCULO(\"x\")", "\"'=HIPERVINCULO(\"\"x\"\")\"",
         "\"=HIPERVINCULO(\"\"x\"\")\""},
        {"a formula character later", "a=b-c", "a=b-c", "a=b-c"},
    };
    for (const Case& c : cases) {
        std::string csv, tsv;
        appendField(csv, c.field, ExportFormat::Csv);
        appendField(tsv, c.field, ExportFormat::Tsv);
        EXPECT_EQ(csv, c.csv) << c.name;
        EXPECT_EQ(tsv, c.tsv) << c.name;
    }
}

TEST(Sheet, TheFormatGoesByTheNameOrTheOption)
{
    struct Case { const char* name; ExportFormat format; };
    const Case names[] = {{"lineas.CSV", ExportFormat::Csv}, {"lineas.tsv", ExportFormat::Tsv},
                          {"lineas", ExportFormat::Tsv},     {"lineas.xlsx", ExportFormat::Xlsx},
                          {"Lineas.XLSX", ExportFormat::Xlsx}, {"lineas.xls", ExportFormat::Tsv}};
    for (const Case& c : names) EXPECT_EQ(exportFormatOf(c.name), c.format) << c.name;
    for (const ExportFormat format : {ExportFormat::Tsv, ExportFormat::Csv, ExportFormat::Xlsx})
        EXPECT_EQ(exportFormatOf("x" + endingOf(format)), format);
    EXPECT_EQ(exportFormatNamed("xlsx"), ExportFormat::Xlsx);
    EXPECT_EQ(exportFormatNamed("xls"), std::nullopt);
}

TEST(Sheet, TheTypeChosenDecidesUnlessTheNameSaysAnother)
{
    struct Case { const char* name; ExportFormat chosen; const char* path; ExportFormat format; };
    const Case cases[] = {
        {"/t/lineas", ExportFormat::Csv, "/t/lineas.csv", ExportFormat::Csv},
        {"/t/lineas", ExportFormat::Xlsx, "/t/lineas.xlsx", ExportFormat::Xlsx},
        {"/t/lineas", ExportFormat::Tsv, "/t/lineas.tsv", ExportFormat::Tsv},
        {"/t/lineas.txt", ExportFormat::Csv, "/t/lineas.txt", ExportFormat::Csv},
        {"/t/lineas.CSV", ExportFormat::Xlsx, "/t/lineas.CSV", ExportFormat::Csv},
        {"/t/lineas.xlsx", ExportFormat::Tsv, "/t/lineas.xlsx", ExportFormat::Xlsx},
        {"/t/v1.0/lineas", ExportFormat::Csv, "/t/v1.0/lineas.csv", ExportFormat::Csv},
    };
    for (const Case& c : cases) {
        const ExportTarget target = exportTarget(c.name, c.chosen);
        EXPECT_EQ(target.path, c.path) << c.name;
        EXPECT_EQ(target.format, c.format) << c.name;
    }
}

TEST(Sheet, DelimitedRowsAndNumbers)
{
    std::string out;
    const auto sheet = delimitedSheet(ExportFormat::Csv, [&](std::string_view piece) { out.append(piece); });
    for (const char* title : {"Forma", "Puntuación"}) sheet->text(title);
    sheet->endRow();
    sheet->text("-casa");
    sheet->number(-15.2834, 2);
    sheet->endRow();
    sheet->endRow();
    ASSERT_TRUE(sheet->commit().ok());
    EXPECT_EQ(out, "\xEF\xBB\xBF" "Forma,Puntuación\r\n'-casa,-15.28\r\n\r\n") << "a number is never neutralised";
}

// What a workbook holds, read back without the library that wrote it.
testing::XlsxBook written(const QString& path)
{
    std::string why;
    auto book = testing::readXlsx(path, &why);
    EXPECT_TRUE(book.has_value()) << why;
    return book.value_or(testing::XlsxBook());
}

TEST(Sheet, AWorkbookWritesTextsAsStringsUnderABoldFrozenHeader)
{
    TempDir dir;
    const QString file = dir.path("tabla.xlsx");
    auto sheet = openSheet(file, ExportFormat::Xlsx);
    ASSERT_TRUE(sheet.ok());
    SheetWriter& s = *sheet.value();
    const std::vector<std::string> texts = {"=1+2", "-dijo", "@x", "+3", "\tTab", "a\x01" "b <&>\r\n", "ñandú œuvre",
                                            " blanco ", "_x0041_ literal", "un texto bastante más largo que su título"};
    s.text("Texto");
    s.text("N");
    s.endRow();
    for (size_t k = 0; k < texts.size(); ++k) {
        s.text(texts[k]);
        s.number(double(k) + 0.25, 2);
        s.endRow();
    }
    ASSERT_TRUE(s.commit().ok());

    const testing::XlsxBook book = written(file);
    ASSERT_EQ(book.sheets.size(), 1u);
    const testing::XlsxSheet& read = book.sheets[0];
    ASSERT_EQ(read.rows.size(), texts.size() + 1);
    EXPECT_TRUE(read.headerFrozen);
    EXPECT_EQ(read.rows[0][0].text, "Texto");
    EXPECT_TRUE(read.rows[0][0].bold && read.rows[0][1].bold);
    for (size_t k = 0; k < texts.size(); ++k) {
        const auto& row = read.rows[k + 1];
        SCOPED_TRACE(texts[k]);
        EXPECT_TRUE(row[0].type == "s" || row[0].type == "inlineStr") << row[0].type;
        EXPECT_FALSE(row[0].formula);
        EXPECT_FALSE(row[0].bold);
        EXPECT_EQ(row[0].text, texts[k]);
        EXPECT_TRUE(row[1].type.empty() || row[1].type == "n") << "a number cell";
        EXPECT_DOUBLE_EQ(std::stod(row[1].text), double(k) + 0.25);
    }
    // Each column as wide as its widest content.
    EXPECT_GE(read.widths.at(0), 41.0);
    EXPECT_LT(read.widths.at(0), 46.0);
    EXPECT_GE(read.widths.at(1), 4.0);
    EXPECT_LT(read.widths.at(1), 10.0);
}

TEST(Sheet, AWorkbookGoesOnInAnotherSheetAndCutsWhatNoCellHolds)
{
    TempDir dir;
    const QString file = dir.path("largo.xlsx");
    auto sheet = xlsxSheet(file, 4); // a header and three rows a sheet
    ASSERT_TRUE(sheet.ok());
    SheetWriter& s = *sheet.value();
    s.text("Fila");
    s.endRow();
    for (int k = 1; k <= 7; ++k) {
        s.text(k == 7 ? std::string(kXlsxCellChars + 10, 'x') : std::to_string(k));
        s.endRow();
    }
    ASSERT_TRUE(s.commit().ok());
    const testing::XlsxBook book = written(file);
    ASSERT_EQ(book.sheets.size(), 3u);
    EXPECT_EQ(testing::rowTexts(book.sheets[0]), (std::vector<std::string>{"Fila", "1", "2", "3"}));
    EXPECT_EQ(testing::rowTexts(book.sheets[1]), (std::vector<std::string>{"Fila", "4", "5", "6"}));
    ASSERT_EQ(book.sheets[2].rows.size(), 2u);
    EXPECT_TRUE(book.sheets[2].headerFrozen);
    EXPECT_EQ(book.sheets[2].rows[1][0].text, std::string(kXlsxCellChars - 1, 'x') + "…");
    EXPECT_LE(book.sheets[2].widths.at(0), 90.0) << "a long text does not make a column wider than the screen";
}

TEST(Sheet, AnUnfinishedSheetLeavesTheOldFileAndAFailureNamesTheFile)
{
    TempDir dir;
    const QString old = dir.write("tabla.xlsx", "antes");
    for (const ExportFormat format : {ExportFormat::Tsv, ExportFormat::Csv, ExportFormat::Xlsx}) {
        {
            auto sheet = openSheet(old, format);
            ASSERT_TRUE(sheet.ok());
            sheet.value()->text("nuevo");
            sheet.value()->endRow();
        } // dropped without commit
        EXPECT_EQ(readBytes(old), "antes");
        EXPECT_EQ(dir.entries(), QStringList{"tabla.xlsx"});

        const QString nowhere = dir.path("no/tabla.xlsx");
        auto sheet = openSheet(nowhere, format);
        const Status status = sheet.ok() ? sheet.value()->commit() : Status(sheet.error());
        ASSERT_FALSE(status.ok());
        EXPECT_TRUE(status.error().message.contains(nowhere)) << status.error().message.toStdString();
    }
}

TEST(Sheet, FrequenciesAndCandidatesAsTheirWindowsShowThem)
{
    TempDir dir;
    CandidateList list;
    list.best = {{"maison", 59.98, 31.62, 15, 15}, {"=de", 29.74, 58.22, 40, 60}};
    ASSERT_TRUE(exportCandidates(dir.path("c.csv"), list, ExportFormat::Csv).ok());
    EXPECT_EQ(readBytes(dir.path("c.csv")), "\xEF\xBB\xBF" "Candidato,Puntuación,G²,Con la forma,En la traducción\r\n"
                                            "maison,59.98,31.62,15,15\r\n'=de,29.74,58.22,40,60\r\n");
    ASSERT_TRUE(exportCandidates(dir.path("c.xlsx"), list, ExportFormat::Xlsx).ok());
    const testing::XlsxBook book = written(dir.path("c.xlsx"));
    ASSERT_EQ(book.sheets.size(), 1u);
    EXPECT_EQ(testing::rowTexts(book.sheets[0]),
              (std::vector<std::string>{"Candidato|Puntuación|G²|Con la forma|En la traducción",
                                        "maison|59.98|31.62|15|15", "=de|29.74|58.22|40|60"}));
    EXPECT_FALSE(book.sheets[0].rows[2][0].formula);
}

} // namespace
} // namespace solandre
