#pragma once

// Registration of the benchmark families, in the order they run.
void registerOpenBenchmarks();
void registerDatasetBenchmarks();
void registerSearchBenchmarks();
void registerRegistrationBenchmarks();
void registerExportBenchmarks();
void registerFeedBenchmarks();
void registerCallListBenchmarks();

// Figures printed after the main summary.
void printSearchSummary();
void printExportSummary();
void printCallListSummary();

// Adjacent rows out of the Turkish alphabetical order after the last BM_SortAdsoyad run
// (-1 when it did not run).
long long sortOrderErrors();
