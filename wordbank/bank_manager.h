// The word-bank window's event handlers.
#pragma once

void onBankWindowCreated();
void onBankWindowClosing();
void onSearchProgress(int first, int second);
void onMuteClicked();
void onBankClicked();
void onBankDoubleClicked();
void useBank();
void exportBank();
void saveBank();
void clearBankEditor();
void removeBankRow();
