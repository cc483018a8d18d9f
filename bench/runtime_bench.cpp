// Speed of the runtime's everyday operations: vector ends, hash look-ups, string appends and hashing,
// and random draws.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "lang/Integer.h"
#include "lang/Ref.h"
#include "lang/String.h"
#include "util/Hashtable.h"
#include "util/Random.h"
#include "util/Vector.h"

namespace {

void BM_VectorQueue(benchmark::State& state) {
    util::Vector v(64);
    lang::Integer item(1);
    for (auto _ : state) {
        v.addElement(&item);
        v.removeElementAt(0);
    }
}
BENCHMARK(BM_VectorQueue);

void BM_VectorAppendAndClear(benchmark::State& state) {
    util::Vector v;
    lang::Integer item(1);
    for (auto _ : state) {
        for (int i = 0; i < 1000; ++i) v.addElement(&item);
        v.removeAllElements();
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_VectorAppendAndClear);

void BM_HashtableGetByName(benchmark::State& state) {
    util::Hashtable table;
    std::vector<std::string> names;
    lang::Integer value(0);
    for (int i = 0; i < state.range(0); ++i) {
        names.push_back("sprite_name_" + std::to_string(i));
        table.put(names.back().c_str(), &value);
    }
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(table.get(names[i].c_str()));
        if (++i == names.size()) i = 0;
    }
}
BENCHMARK(BM_HashtableGetByName)->Arg(100)->Arg(5000);

void BM_HashtablePut(benchmark::State& state) {
    lang::Integer value(0);  // outlives every table below
    for (auto _ : state) {
        util::Hashtable table;
        for (int i = 0; i < 1000; ++i) table.put(lang::make<lang::Integer>(i).get(), &value);
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_HashtablePut);

void BM_StringAppend(benchmark::State& state) {
    for (auto _ : state) {
        lang::String s;
        for (int i = 0; i < 100; ++i) s.append("word ");
        benchmark::DoNotOptimize(s.chars());
    }
    state.SetItemsProcessed(state.iterations() * 100);
}
BENCHMARK(BM_StringAppend);

void BM_StringHash(benchmark::State& state) {
    lang::String s("Software\\Quillbeck\\Lumaroo\\PlayerName");
    for (auto _ : state) benchmark::DoNotOptimize(s.hashCode());
}
BENCHMARK(BM_StringHash);

void BM_StringFormatDouble(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(lang::make<lang::String>(1234.5678));
}
BENCHMARK(BM_StringFormatDouble);

void BM_RandomNextInt(benchmark::State& state) {
    util::Random random(1);
    for (auto _ : state) benchmark::DoNotOptimize(random.nextInt(6));
}
BENCHMARK(BM_RandomNextInt);

void BM_RandomSeed(benchmark::State& state) {
    util::Random random(1);
    uint32_t seed = 0;
    for (auto _ : state) random.setSeed(seed++);
}
BENCHMARK(BM_RandomSeed);

}  // namespace
