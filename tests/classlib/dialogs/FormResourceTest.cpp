#include <gtest/gtest.h>

#include "classlib/controls/Dialogs.h"
#include "classlib/controls/ExtCtrls.h"
#include "classlib/streaming/FormReader.h"

// The published tables of this unit's classes, as a form resource uses them.
TEST(FormResource, ReadsButtonsLabelsPanelsDialogsAndTimers)
{
    RegisterStdCtrlsClasses();
    RegisterExtCtrlsClasses();
    RegisterDialogsClasses();
    TForm* form = TForm::CreateNew(nullptr);
    ReadComponentFromText(LR"(object Prompt: TForm
  Caption = '파일 다운로드'
  object Label1: TLabel
    Left = 20
    Top = 16
    Width = 300
    Height = 40
    Caption = '이 파일을 실행 또는 저장하시겠습니까?'
    Font.Height = -12
    Font.Name = 'Tahoma'
  end
  object SaveButton: TButton
    Left = 205
    Top = 50
    Width = 75
    Height = 25
    Caption = '저장'
    ModalResult = 6
    Default = True
    TabOrder = 0
  end
  object BackPanel: TPanel
    Align = alClient
    BevelOuter = bvNone
    Color = clInfoText
    ParentBackground = False
  end
  object fileSaveDialog: TSaveDialog
    Filter = 'PDF 파일|*.pdf'
    Options = [ofHideReadOnly, ofNoChangeDir, ofEnableSizing]
  end
  object Timer1: TTimer
    Enabled = False
    Interval = 50
  end
end
)",
                           form);

    auto* label = dynamic_cast<TLabel*>(form->FindComponent(L"Label1"));
    ASSERT_TRUE(label);
    EXPECT_EQ(label->Font()->Height(), -12);
    EXPECT_LT(label->Width(), 300) << "sized to its text once loaded";
    EXPECT_LT(label->Height(), 40);
    EXPECT_EQ(label->Left(), 20);

    auto* save = dynamic_cast<TButton*>(form->FindComponent(L"SaveButton"));
    ASSERT_TRUE(save);
    EXPECT_EQ(save->Caption(), L"저장");
    EXPECT_EQ(save->ModalResult(), mrYes);
    EXPECT_TRUE(save->Default());
    EXPECT_EQ(save->Parent(), form);

    auto* panel = dynamic_cast<TPanel*>(form->FindComponent(L"BackPanel"));
    ASSERT_TRUE(panel);
    EXPECT_EQ(panel->BevelOuter(), bvNone);
    EXPECT_EQ(panel->Color(), clInfoText);
    EXPECT_FALSE(panel->ParentBackground());

    auto* dlg = dynamic_cast<TSaveDialog*>(form->FindComponent(L"fileSaveDialog"));
    ASSERT_TRUE(dlg);
    EXPECT_EQ(dlg->Filter(), L"PDF 파일|*.pdf");
    EXPECT_EQ(dlg->Options(), (TOpenOptions{ofHideReadOnly, ofNoChangeDir, ofEnableSizing}));

    auto* timer = dynamic_cast<TTimer*>(form->FindComponent(L"Timer1"));
    ASSERT_TRUE(timer);
    EXPECT_FALSE(timer->Enabled());
    EXPECT_EQ(timer->Interval(), 50u);

    TObject* o = form;
    FreeAndNil(o);
}
