// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/dictionary.h"
#include "data/record.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace vetcert;

class TestDictionary : public QObject
{
    Q_OBJECT

private slots:
    void recordSizes();
    void offsets_data();
    void offsets();
    void keys_data();
    void keys();
    void relations();
    void namesIgnoreCase();
};

void TestDictionary::recordSizes()
{
    QCOMPARE(fileDef(FileId::Forma3).recordSize, 2549);
    QCOMPARE(fileDef(FileId::Licenziy).recordSize, 54);
    QCOMPARE(fileDef(FileId::Kagent).recordSize, 96);
    QCOMPARE(fileDef(FileId::Last).recordSize, 590);
    QCOMPARE(fileDef(FileId::Issuers).recordSize, 6 * 64);
    QCOMPARE(fileDef(FileId::Forma3).fileName(), u"FORMA3.DAT"_s);
    QCOMPARE(fileDef(FileId::Last).fileName(), u"LAST.DAT"_s);
    QCOMPARE(fileDef(FileId::Last).messageName, u"LAST.DAT"_s);
}

void TestDictionary::offsets_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("bytes");
    const std::pair<const char16_t*, std::pair<int, int>> rows[] = {
        {u"LIC:DATALIC", {25, 4}},  {u"LIC:KOL", {29, 5}},      {u"LIC:ED", {34, 20}},     {u"KAG:NAME", {5, 91}},
        {u"FR3:NFORM", {25, 5}},    {u"FR3:DAY", {64, 2}},      {u"FR3:DATAV", {76, 4}},   {u"FR3:GODDST", {94, 2}},
        {u"FR3:Z1", {96, 50}},      {u"FR3:S2", {313, 80}},     {u"FR3:S7", {753, 85}},    {u"FR3:S141", {1448, 30}},
        {u"FR3:S201", {1982, 10}},  {u"FR3:S216", {2107, 10}},  {u"FR3:S251", {2357, 10}}, {u"FR3:P1", {2417, 32}},
        {u"FR3:CENA", {2545, 4}},   {u"LAS:AXZ1", {35, 4}},     {u"LAS:AXZ4", {59, 4}},    {u"LAS:AZF1", {115, 4}},
        {u"LAS:AXKOL", {147, 4}},   {u"LAS:AXF12", {227, 4}},   {u"LAS:AYF12", {231, 4}},  {u"LAS:AXF13", {235, 4}},
        {u"LAS:AYF20", {319, 4}},   {u"LAS:AXF201", {323, 4}},  {u"LAS:AXF21", {347, 4}},  {u"LAS:AXF256", {503, 4}},
        {u"LAS:AXP1", {507, 4}},    {u"LAS:TYPEFACE", {539, 31}}, {u"LAS:FONTSIZE", {570, 4}}, {u"LAS:CHARSET", {582, 4}},
        {u"LAS:CENA", {586, 4}},
    };
    for (const auto& [name, ob] : rows)
        QTest::newRow(QString::fromUtf16(name).toUtf8().constData()) << QString::fromUtf16(name) << ob.first << ob.second;
}

void TestDictionary::offsets()
{
    QFETCH(QString, field);
    QFETCH(int, offset);
    QFETCH(int, bytes);
    const FileDef* def = fileDefByName(field.left(3));
    QVERIFY(def);
    const int i = def->fieldIndex(field);
    QVERIFY(i >= 0);
    QCOMPARE(def->field(i).offset, offset);
    QCOMPARE(def->field(i).bytes, bytes);
}

void TestDictionary::keys_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("component");
    QTest::addColumn<QString>("display");
    QTest::addColumn<int>("number");
    QTest::newRow("LIC:K1") << u"LIC:K1"_s << u"LIC:NLIC"_s << u"По № разрешения"_s << 1;
    QTest::newRow("KAG:K1") << u"KAG:K1"_s << u"KAG:ID"_s << u"kag:k1"_s << 1;
    QTest::newRow("KAG:K2") << u"KAG:K2"_s << u"KAG:NAME"_s << u"kag:k2"_s << 2;
    QTest::newRow("FR3:K1") << u"FR3:K1"_s << u"FR3:NLIC"_s << u"По № разрешения"_s << 1;
    QTest::newRow("FR3:K4") << u"FR3:K4"_s << u"FR3:S2"_s << u"По контрагенту"_s << 2;
    QTest::newRow("FR3:K2") << u"FR3:K2"_s << u"FR3:NFORM"_s << u"По номеру свидетельства"_s << 3;
    QTest::newRow("FR3:K3") << u"FR3:K3"_s << u"FR3:DATAV"_s << u"По дате выдачи"_s << 4;
    QTest::newRow("LAS:K1") << u"LAS:K1"_s << u"LAS:NFORM"_s << u"LAS:k1"_s << 1;
}

void TestDictionary::keys()
{
    QFETCH(QString, key);
    QFETCH(QString, component);
    QFETCH(QString, display);
    QFETCH(int, number);
    const FileDef* def = fileDefByName(key.left(3));
    const int k = def->keyIndex(key);
    QVERIFY(k >= 0);
    const KeyDef& kd = def->keys[static_cast<size_t>(k)];
    QCOMPARE(def->field(kd.field).fullName, component);
    QCOMPARE(kd.displayName, display);
    QCOMPARE(kd.number, number);
}

void TestDictionary::relations()
{
    const std::span<const RelationDef> rels = vetcert::relations();
    QCOMPARE(rels.size(), size_t(2));
    const RelationDef& r2 = rels[1];
    QCOMPARE(r2.parent, FileId::Kagent);
    QCOMPARE(fileDef(FileId::Kagent).field(r2.parentField).fullName, u"KAG:NAME"_s);
    QCOMPARE(fileDef(FileId::Forma3).field(r2.childField).fullName, u"FR3:S2"_s);
    QCOMPARE(fileDef(FileId::Forma3).keys[static_cast<size_t>(r2.childKey)].name, u"FR3:K4"_s);
    QCOMPARE(r2.onChange, RelationRule::Cascade);
    QCOMPARE(r2.onDelete, RelationRule::Restrict);
    const RelationDef& r1 = rels[0];
    QCOMPARE(r1.parent, FileId::Licenziy);
    QCOMPARE(fileDef(FileId::Forma3).keys[static_cast<size_t>(r1.childKey)].name, u"FR3:K1"_s);
    QCOMPARE(r1.onChange, RelationRule::None);
    QCOMPARE(r1.onDelete, RelationRule::None);
}

void TestDictionary::namesIgnoreCase()
{
    const FileDef& fr3 = fileDef(FileId::Forma3);
    QCOMPARE(fr3.fieldIndex(u"fr3:datav"), fr3.fieldIndex(u"FR3:DATAV"));
    QCOMPARE(fr3.fieldIndex(u"Nform"), fr3.fieldIndex(u"FR3:NFORM"));
    QCOMPARE(fr3.fieldIndex(u"KAG:NAME"), -1);
    QCOMPARE(fr3.fieldIndex(u"FR3:NOPE"), -1);
    QCOMPARE(fr3.keyIndex(u"fr3:k4"), 1);
    QCOMPARE(fileDefByName(u"kagent"), &fileDef(FileId::Kagent));
    QCOMPARE(fileDefByName(u"las"), &fileDef(FileId::Last));

    // Fields are reached through the dictionary as they are through the struct.
    Forma3 f;
    RecordRef rec(fr3, &f);
    QVERIFY(rec.setFromText(fr3.fieldIndex(u"FR3:S2"), u"ООО «Рассвет»").isEmpty());
    QCOMPARE(f.S2.toString(), u"ООО «Рассвет»"_s);
    QVERIFY(rec.setFromText(fr3.fieldIndex(u"FR3:DATAV"), u"01.01.2013").isEmpty());
    QCOMPARE(f.DATAV.dayNumber(), 77436);
    QVERIFY(!rec.setFromText(fr3.fieldIndex(u"FR3:NFORM"), u"1234567890").isEmpty());
}

QTEST_GUILESS_MAIN(TestDictionary)
#include "tst_dictionary.moc"
