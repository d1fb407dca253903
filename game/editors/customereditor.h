// TCustomerEditor ("CustomerEditor"): the developers' editor of the customer
// types in assets/config/customer.xml, one type at a time in named fields.
// The file is written when the window closes, and before the program ends
// on a close request (the window may never be destroyed then).
#pragma once

#include "engine/base/str.h"
#include "engine/base/xml.h"
#include "engine/window/window.h"
#include "game/editors/editorsave.h"
#include "game/screens/scriptedwindow.h"

class TCustomerEditor : public TScriptedWindow<TCustomerEditor>, public IEditorSaveOnClose {
public:
    static const contract::TScreenSpec kContract;

    TCustomerEditor();
    ~TCustomerEditor() override;

    void PostChildrenInit() override;
    bool OnTaskAnimate() override;
    bool OnDirtyRect(TRect* r) override;

    void InitCustomer();
    void RecordCustomer();
    void IncrementCustomer(int delta, bool record);
    void NewCustomer(str name);
    void DeleteCustomer();
    // Writes the document to the customer file, replacing it whole; false
    // when there is nothing to write or the write failed.
    bool SaveData();
    // The close request's save: the shown fields, then the file.
    void SaveLevelData() override;

    int GetCurrent() const { return mCurrent; }
    int CountCustomers() const;

private:
    TXmlNode* CurrentCustomer() const;

    TXmlNode mDocument;
    int mCurrent = 0;
    bool mSaved = false;  // by a close request; the destructor need not write again
};
