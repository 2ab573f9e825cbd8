#pragma once

// Replaces entries of one of the system-call tables (renameCalls(), folderCalls(),
// saveFlushCalls()) for one test and puts the whole table back however the test ends: a failing
// QCOMPARE returns early, and a replacement left behind would capture the test's dead locals for
// every later test.
template <class Table>
class ScopedCalls
{
public:
    explicit ScopedCalls(Table& table) : table_(table), saved_(table) {}
    ~ScopedCalls() { table_ = saved_; }
    ScopedCalls(const ScopedCalls&) = delete;
    ScopedCalls& operator=(const ScopedCalls&) = delete;

    Table& calls() { return table_; }
    Table* operator->() { return &table_; }

private:
    Table& table_;
    const Table saved_;
};
