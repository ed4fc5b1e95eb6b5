#include "core/store/store.hpp"

#include <gtest/gtest.h>

#include <cmath>

#include "temp_folder.hpp"

using namespace zelvanor;

namespace {

class StoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        db = std::make_unique<Database>(dir / "t.mdb");
        const ColumnDef cols[] = {
            {"Code", ColumnType::Text, 4}, {"Small", ColumnType::Integer},
            {"Big", ColumnType::Long},     {"Single1", ColumnType::Single},
            {"Dbl", ColumnType::Double},   {"Name", ColumnType::Text, 2},
        };
        db->createTable("t", cols);
        db->createIndex("Code", "t", "Code", true);
    }
    void add(const std::string& code) {
        Table t(*db, "t");
        t.addNew();
        t.set("code", code);
        t.update();
    }
    TempFolder dir;
    std::unique_ptr<Database> db;
};

TEST_F(StoreTest, UniqueIndexRefusesDuplicateAndEmptyKeys) {
    add("A");
    EXPECT_THROW(add("A"), StoreError);
    EXPECT_THROW(add(""), StoreError);
    Table t(*db, "t");
    t.addNew();
    t.set("Small", std::int64_t{1});  // key left null
    EXPECT_THROW(t.update(), StoreError);
    // Editing a key to empty is refused as well.
    t.setIndex("code");
    ASSERT_TRUE(t.seek(std::string("A")));
    t.edit();
    t.set("Code", std::string());
    EXPECT_THROW(t.update(), StoreError);
    EXPECT_EQ(t.recordCount(), 1);
}

TEST_F(StoreTest, IndexesMadeWithTheirTableRefuseTheSameKeys) {
    const ColumnDef cols[] = {
        {"Code", ColumnType::Text, 4}, {"No", ColumnType::Integer}, {"Extra", ColumnType::Text, 2}};
    const IndexSpec indexes[] = {{"Code", "code", true}, {"No", "No", false}};
    db->createTable("k", cols, indexes);
    auto insert = [&](const Value& code, const Value& no) {
        Table t(*db, "k");
        t.addNew();
        t.set("Code", code);
        t.set("No", no);
        t.update();
    };
    insert(std::string("A"), std::int64_t{1});
    insert(std::string("B"), std::int64_t{1});  // not unique
    for (const auto& [code, no] :
         std::vector<std::pair<Value, Value>>{{std::string("A"), std::int64_t{2}},
                                              {std::string(""), std::int64_t{2}},
                                              {Value{}, std::int64_t{2}},
                                              {std::string("C"), Value{}}}) {
        try {
            insert(code, no);
            ADD_FAILURE() << "accepted";
        } catch (const StoreError& e) {
            const std::string m = e.what();
            EXPECT_TRUE(m.find("重複") != std::string::npos || m.find("空") != std::string::npos)
                << m;
        }
    }
    Table t(*db, "k");
    t.setIndex("code");
    EXPECT_TRUE(t.seek(std::string("B")));
    EXPECT_EQ(t.recordCount(), 2);
    // Each index is found by its name, however it was made; a column without one is not.
    EXPECT_EQ(db->indexColumn("k", "CODE"), "Code");
    EXPECT_EQ(db->indexColumn("k", "no"), "No");
    EXPECT_EQ(db->indexColumn("k", "Extra"), std::nullopt);
    auto triggers = db->prepare("SELECT count(*) FROM sqlite_schema WHERE type = 'trigger'");
    triggers.step();
    EXPECT_EQ(triggers.int64(0), 2);  // only the fixture's own index on "t" needs them
}

TEST_F(StoreTest, IntegerColumnsRoundHalvesToEvenAndRefuseOverflow) {
    const struct {
        double in;
        std::int64_t out;
    } cases[] = {{0.5, 0},    {1.5, 2},   {2.5, 2},    {-2.5, -2},
                 {16.67, 17}, {12.5, 12}, {31.25, 31}, {32767.4, 32767}};
    Table t(*db, "t");
    t.setIndex("Code");
    int n = 0;
    for (const auto& c : cases) {
        const std::string code = std::to_string(n++);
        t.addNew();
        t.set("Code", code);
        t.set("Small", c.in);
        t.set("Big", c.in);
        t.update();
        ASSERT_TRUE(t.seek(code));
        EXPECT_EQ(t.integer("Small"), c.out) << c.in;
        EXPECT_EQ(t.integer("big"), c.out) << c.in;
    }
    t.addNew();
    EXPECT_THROW(t.set("Small", 32767.5), StoreError);  // rounds to 32768
    EXPECT_THROW(t.set("Small", std::int64_t{-32769}), StoreError);
    EXPECT_THROW(t.set("Big", 3e9), StoreError);
    EXPECT_THROW(t.set("Small", std::string("12x")), StoreError);
    t.set("Small", std::string("12"));
    EXPECT_EQ(std::get<std::int64_t>(t.get("Small")), 12);
}

TEST_F(StoreTest, SingleColumnsHoldSinglePrecision) {
    Table t(*db, "t");
    t.setIndex("Code");
    t.addNew();
    t.set("Code", std::string("A"));
    t.set("Single1", 0.1);
    t.set("Dbl", 0.1);
    t.update();
    ASSERT_TRUE(t.seek(std::string("A")));
    EXPECT_EQ(t.real("Single1"), static_cast<double>(0.1f));
    EXPECT_NE(t.real("Single1"), 0.1);
    EXPECT_EQ(t.real("Dbl"), 0.1);
}

TEST_F(StoreTest, TextLongerThanItsColumnIsRefusedCountingCharacters) {
    Table t(*db, "t");
    t.addNew();
    t.set("Name", std::string("翠嶺"));  // two characters, six bytes
    EXPECT_THROW(t.set("Name", std::string("翠嶺碧")), StoreError);
}

TEST_F(StoreTest, ColumnNamesMatchWithoutRegardToCaseOrWidth) {
    const ColumnDef cols[] = {{"umaMi\xEF\xBD\x87iHidari", ColumnType::Single}};
    db->createTable("w", cols);
    Table t(*db, "w");
    t.addNew();
    t.set("umamigihidari", std::int64_t{3});
    t.update();
    t.moveFirst();
    EXPECT_EQ(t.real("UMAMIGIHIDARI"), 3.0);
    EXPECT_THROW(t.get("nosuch"), StoreError);
}

TEST_F(StoreTest, CursorStepsInIndexOrderAndSurvivesDeletion) {
    for (const char* c : {"C", "A", "D", "B"}) add(c);
    Table t(*db, "t");
    t.setIndex("Code");
    std::string seen;
    for (t.moveFirst(); !t.eof(); t.moveNext()) seen += t.text("Code");
    EXPECT_EQ(seen, "ABCD");

    // Deleting row by row from the first, as an import empties a table, leaves nothing behind.
    t.moveFirst();
    ASSERT_TRUE(t.seek(std::string("B")));
    t.deleteCurrent();
    t.moveNext();
    EXPECT_EQ(t.text("Code"), "C");
    t.moveLast();
    EXPECT_EQ(t.text("Code"), "D");
    EXPECT_EQ(t.recordCount(), 3);
    EXPECT_FALSE(t.seek(std::string("B")));
    EXPECT_TRUE(t.noMatch());

    // Without an index the cursor steps in the order rows were added.
    Table plain(*db, "t");
    seen.clear();
    for (plain.moveFirst(); !plain.eof(); plain.moveNext()) seen += plain.text("Code");
    EXPECT_EQ(seen, "CAD");
}

TEST_F(StoreTest, EmptyTableIsAtBothEnds) {
    Table t(*db, "t");
    t.moveFirst();
    EXPECT_TRUE(t.bof());
    EXPECT_TRUE(t.eof());
    EXPECT_THROW(t.text("Code"), StoreError);
    EXPECT_EQ(t.recordCount(), 0);
}

TEST_F(StoreTest, EditKeepsColumnsNotWritten) {
    Table t(*db, "t");
    t.setIndex("Code");
    t.addNew();
    t.set("Code", std::string("A"));
    t.set("Big", std::int64_t{7});
    t.update();
    ASSERT_TRUE(t.seek(std::string("A")));
    t.edit();
    t.set("Small", std::int64_t{3});
    t.update();
    EXPECT_EQ(t.integer("Big"), 7);
    EXPECT_EQ(t.integer("Small"), 3);
}

TEST_F(StoreTest, FailedTransactionLeavesEarlierDataIntact) {
    add("A");
    try {
        Transaction tx(*db);
        add("B");
        add("A");  // duplicate: the whole operation is abandoned
        tx.commit();
        FAIL() << "duplicate key accepted";
    } catch (const StoreError& e) {
        EXPECT_NE(std::string(e.what()).find("重複"), std::string::npos) << e.what();
    }
    Table t(*db, "t");
    t.setIndex("Code");
    EXPECT_EQ(t.recordCount(), 1);
    EXPECT_FALSE(t.seek(std::string("B")));
}

TEST_F(StoreTest, NestedTransactionRollsBackOnlyItsOwnWork) {
    Transaction outer(*db);
    add("A");
    {
        Transaction inner(*db);
        add("B");
    }
    outer.commit();
    Table t(*db, "t");
    EXPECT_EQ(t.recordCount(), 1);
}

TEST_F(StoreTest, TablesAreListedInNameOrderAndTestedExactly) {
    const ColumnDef cols[] = {{"x", ColumnType::Long}};
    db->createTable("D05981003", cols);
    db->createTable("B", cols);
    EXPECT_EQ(db->userTables(), (std::vector<std::string>{"B", "D05981003", "t"}));
    EXPECT_TRUE(db->hasTable("D05981003"));
    EXPECT_FALSE(db->hasTable("d05981003"));
    // Made by another program: a view is no table; a table without rowid or of an odd name is.
    db->exec("CREATE VIEW \"V\" AS SELECT 1 AS one");
    db->exec("CREATE TABLE \"W\" (k TEXT PRIMARY KEY) WITHOUT ROWID");
    db->exec("CREATE TABLE \"a\"\"b.c\" (x)");
    db->exec("CREATE TEMP TABLE \"TempOnly\" (x)");
    for (const auto& [name, is] : std::vector<std::pair<std::string, bool>>{
             {"V", false},
             {"W", true},
             {"w", false},
             {"a\"b.c", true},
             {"A\"b.c", false},
             {"TempOnly", false},
             {std::string("D05981003\0x", 11), false},
         }) {
        EXPECT_EQ(db->hasTable(name), is) << name;
    }
    db->exec("DROP VIEW \"V\"");
    db->exec("DROP TABLE \"W\"");
    db->exec("DROP TABLE \"a\"\"b.c\"");
    db->dropTable("B");
    EXPECT_EQ(db->userTables(), (std::vector<std::string>{"D05981003", "t"}));
    EXPECT_TRUE(tableExists(dir / "t.mdb", "t"));
    EXPECT_FALSE(tableExists(dir / "t.mdb", "T"));
    EXPECT_FALSE(tableExists(dir / "none.mdb", "t"));
    EXPECT_FALSE(std::filesystem::exists(dir / "none.mdb"));
}

TEST_F(StoreTest, AConnectionKeptOpenSeesTablesAnotherConnectionMadeOrDropped) {
    // The windows keep one connection for the program's life while imports use their own.
    ASSERT_FALSE(db->hasTable("D05981003"));
    const ColumnDef cols[] = {{"x", ColumnType::Long}};
    {
        Database import(db->path());
        import.createTable("D05981003", cols);
    }
    EXPECT_TRUE(db->hasTable("D05981003"));
    {
        Database import(db->path());
        import.dropTable("D05981003");
    }
    EXPECT_FALSE(db->hasTable("D05981003"));
}

TEST_F(StoreTest, IdentifiersThatCouldReachSqlAsTextAreRefused) {
    const ColumnDef cols[] = {{"x", ColumnType::Long}};
    const std::vector<std::string> bads = {
        "",    "a\"b",     "D05\"; DROP TABLE t; --", "a'b",
        "a.b", "sqlite_x", std::string("a\0b", 3),    std::string("\xff\xfe")};
    for (const auto& bad : bads) {
        EXPECT_THROW(db->createTable(bad, cols), StoreError) << bad;
        EXPECT_THROW(Table(*db, bad), StoreError) << bad;
    }
    EXPECT_TRUE(db->hasTable("t"));
}

TEST_F(StoreTest, AColumnStoresAsWrittenOnlyWhenItsAffinityKeepsTheConvertedValue) {
    const ColumnDef made[] = {{"t", ColumnType::Text, 8},
                              {"i", ColumnType::Integer},
                              {"l", ColumnType::Long},
                              {"f", ColumnType::Single}};
    db->createTable("Made", made);
    for (const char* column : {"t", "i", "l", "f", "T"}) {
        EXPECT_TRUE(db->storesAsWritten("Made", column)) << column;
    }
    EXPECT_FALSE(db->storesAsWritten("Made", "none"));
    // Made by another program: the declared type decides what SQLite does to a value.
    db->exec(
        "CREATE TABLE Other (vc VARCHAR(10), num NUMBER, dbl DOUBLE, chd CHARDOUBLE, bare, "
        "bl BLOB)");
    for (const auto& [column, kept] : std::vector<std::pair<const char*, bool>>{
             {"vc", true},     // text affinity, read as Text
             {"num", false},   // read as Text, but numeric affinity turns "12" into 12
             {"dbl", true},    // real affinity, read as Double
             {"chd", false},   // read as Double, but text affinity turns 1.5 into "1.5"
             {"bare", false},  // no declared type: not counted on
             {"bl", false},
         }) {
        EXPECT_EQ(db->storesAsWritten("Other", column), kept) << column;
    }
}

TEST_F(StoreTest, IndexNamesArePerTable) {
    const ColumnDef cols[] = {{"bango", ColumnType::Integer}};
    db->createTable("D01", cols);
    db->createTable("D02", cols);
    db->createIndex("bango", "D01", "bango", true);
    db->createIndex("bango", "D02", "bango", true);
    Table t(*db, "D02");
    EXPECT_NO_THROW(t.setIndex("BANGO"));
    EXPECT_THROW(t.setIndex("other"), StoreError);
}

TEST_F(StoreTest, TablesMadeByEarlierVersionsAreReadAndWritten) {
    // The texts earlier versions wrote: names quoted, an index of its own with triggers refusing
    // empty keys, and one declared with the table.
    db->exec(
        "CREATE TABLE \"U05981003\" (\"umacode\" TEXT(8), \"bamei\" TEXT(72), \"RaceNo\" "
        "SMALLINT, \"Nouryoku1\" FLOAT)");
    db.reset();  // a connection of its own, as the old version's was
    {
        Database old(dir / "t.mdb");
        old.createIndex("Umacode", "U05981003", "umacode", true);
        old.exec(
            "CREATE TABLE \"D05981003\" (\"bango\" SMALLINT NOT NULL CHECK (\"bango\" <> ''), "
            "\"hondai\" TEXT(120), UNIQUE (\"bango\"))");
    }
    db = std::make_unique<Database>(dir / "t.mdb");
    Table entries(*db, "U05981003");
    entries.setIndex("umacode");
    entries.addNew();
    entries.set("UMACODE", std::string("12345678"));
    entries.set("RaceNo", 2.5);
    entries.set("Nouryoku1", 1.1);
    entries.update();
    EXPECT_THROW(
        {
            entries.addNew();
            entries.set("umacode", std::string("12345678"));
            entries.update();
        },
        StoreError);
    EXPECT_THROW(
        {
            entries.addNew();
            entries.set("umacode", std::string(""));
            entries.update();
        },
        StoreError);
    ASSERT_TRUE(entries.seek(std::string("12345678")));
    EXPECT_EQ(entries.integer("raceno"), 2);
    EXPECT_FLOAT_EQ(static_cast<float>(entries.real("nouryoku1")), 1.1f);
    EXPECT_EQ(db->column("U05981003", "BAMEI").size, 72);
    entries.edit();
    entries.set("bamei", std::string("テスト"));
    entries.update();
    EXPECT_EQ(entries.text("bamei"), "テスト");

    Table races(*db, "D05981003");
    races.setIndex("bango");
    races.addNew();
    races.set("bango", std::int64_t{3});
    races.update();
    EXPECT_THROW(
        {
            races.addNew();
            races.set("bango", std::int64_t{3});
            races.update();
        },
        StoreError);
    EXPECT_TRUE(races.seek(std::int64_t{3}));
    EXPECT_EQ(db->userTables(), (std::vector<std::string>{"D05981003", "U05981003", "t"}));
}

TEST(StoreReopen, AFileOpenedAgainIsReadAsItIsNow) {
    // A connection closed is kept for the next one opened on the file: what changed in between,
    // through SQLite or by copying another file over it, must be seen.
    TempFolder dir;
    const ColumnDef cols[] = {{"x", ColumnType::Long}};
    {
        Database other(dir / "other.mdb");
        other.createTable("FromOther", cols);
    }
    {
        Database db(dir / "t.mdb");
        db.createTable("A", cols);
    }
    {
        Database writer(dir / "t.mdb");
        Database second(dir / "t.mdb");  // a connection of its own while the first is in use
        second.createTable("B", cols);
        EXPECT_TRUE(writer.hasTable("B"));
    }
    {
        Database db(dir / "t.mdb");
        EXPECT_EQ(db.userTables(), (std::vector<std::string>{"A", "B"}));
    }
    // The same file overwritten in place, and a file put in its place.
    std::filesystem::copy_file(dir / "other.mdb", dir / "t.mdb",
                               std::filesystem::copy_options::overwrite_existing);
    {
        Database db(dir / "t.mdb");
        EXPECT_EQ(db.userTables(), (std::vector<std::string>{"FromOther"}));
        db.createTable("C", cols);
    }
    std::filesystem::rename(dir / "other.mdb", dir / "t.mdb");
    {
        Database db(dir / "t.mdb");
        EXPECT_EQ(db.userTables(), (std::vector<std::string>{"FromOther"}));
    }
    std::filesystem::remove(dir / "t.mdb");
    {
        Database db(dir / "t.mdb");
        EXPECT_TRUE(db.userTables().empty());
    }
}

TEST(StoreReopen, TheConnectionKeptLastServesWhenOneKeptEarlierIsOutOfDate) {
    // Two connections kept for the file: the first closed before the second changed it. The next
    // one opened takes up the second, whose schema is current, rather than reading it anew.
    TempFolder dir;
    const ColumnDef cols[] = {{"x", ColumnType::Long}};
    std::optional<Database> first(std::in_place, dir / "t.mdb");
    std::optional<Database> second(std::in_place, dir / "t.mdb");
    first->createTable("A", cols);
    first.reset();
    second->createTable("B", cols);
    sqlite3* const current = second->handle();
    second.reset();
    Database next(dir / "t.mdb");
    EXPECT_EQ(next.handle(), current);
    EXPECT_EQ(next.userTables(), (std::vector<std::string>{"A", "B"}));
}

TEST(StoreNames, CreateStatementsWriteNamesBareOnlyWhereSqlReadsThemSo) {
    for (const auto& [name, written] : std::vector<std::pair<std::string, std::string>>{
             {"umacode", "umacode"},
             {"D05981003", "D05981003"},
             {"shoutai_Name2", "shoutai_Name2"},
             {"order", "\"order\""},  // a keyword
             {"Select", "\"Select\""},
             {"2x", "\"2x\""},
             {"競走馬", "\"競走馬\""},
             {"a b", "\"a b\""},
         }) {
        EXPECT_EQ(schemaIdentifier(name), written) << name;
    }
    EXPECT_THROW(schemaIdentifier("a\"b"), StoreError);
    EXPECT_THROW(schemaIdentifier(""), StoreError);
    // Every such name makes a table whose columns read back as they were named.
    TempFolder dir;
    Database db(dir / "n.mdb");
    const ColumnDef cols[] = {{"order", ColumnType::Text, 2},
                              {"Select", ColumnType::Integer},
                              {"競走馬", ColumnType::Single},
                              {"a b", ColumnType::Long}};
    const IndexSpec indexes[] = {{"order", "order", true}};
    db.createTable("2x", cols, indexes);
    std::vector<std::string> names;
    for (const auto& c : db.columns("2x")) names.push_back(c.name);
    EXPECT_EQ(names, (std::vector<std::string>{"order", "Select", "競走馬", "a b"}));
    EXPECT_EQ(db.indexColumn("2x", "order"), "order");
}

TEST(StoreOpen, FileThatIsNotADatabaseFailsWithItsName) {
    TempFolder dir;
    {
        std::FILE* f = std::fopen((dir / "mast.mdb").c_str(), "w");
        std::fputs("Standard Jet DB this is not", f);
        std::fclose(f);
    }
    try {
        Database db(dir / "mast.mdb");
        FAIL();
    } catch (const StoreError& e) {
        EXPECT_NE(std::string(e.what()).find("mast.mdb"), std::string::npos);
    }
}

}  // namespace
