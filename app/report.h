// The end-of-quiz report: summary box, report file, "查看详情".
#pragma once

#include "runtime/text.h"

// Accuracy: right / total * 100 written as %.13g and cut at the point.
Text accuracyText(int right, int total);
Text reportText(int total);  // from the program-wide state
Text summaryText(int total);
Text reportFilePath();  // program folder + "\日志\报告" + bankName
// Created or truncated; when the folder is missing nothing is written.
bool writeReportFile(const Text& report);
void produceReport(int total);
void openReport();  // click handler of the main window's 按钮2
