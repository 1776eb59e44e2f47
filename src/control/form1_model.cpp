// The main window's controls with their captions and defaults, the binding of every event
// to its handler, and the start-up sequence.
#include "control/form1_model.h"

#include "control/file_lists.h"

namespace pqwave {

const std::string Form1Model::kInformationTitle = "ソフトウェアについて";

const std::string Form1Model::kInformationText =
    "このソフトは、HIOKIﾒﾓﾘｰﾊｲｺｰﾀﾞ8808,8835,8840,8841-2,8421,8860-1,MR8847,MR8880で測定し、CF等にセーブした"
    "波形データファイル(バイナリ形式)"
    "から、Excelで処理可能なCSV形式に変換したり、指定間隔毎の電圧、電流、有効・無効電力を"
    "求め、ＣＳＶ形式のファイルに変換するソフトです。\r"
    "有効無効電力測定では、測定器の時間軸は50～200ms/DIVに設定してください。\r"
    "8808は1DIVで80回、その他は1DIVで100回サンブリングを行います。このため50Hzの電源では50ms/DIVで1ｻｲｸﾙ32or40回、"
    "200ms/DIVで8or10回サンプリングされます。\r"
    "このソフトでは60Hzの地域で使用できるようにするため、電圧・電流は三相の実効値、有効・無効電力は三相合算値としていま"
    "す。"
    "このため単相回路の測定はできません。\r"
    "電圧・電流の入力はch1とch2に線間電圧がＶ接続になるよう入力し(｢－｣端が共通)、電流は７回路まで測定でき、"
    "電圧測定チャンネル(ch1とch2)の｢＋｣側測定相にch3とch4、ch5とch6、ch7とch8、ch9とch10にそれぞれ二電力計法となるよう"
    "接続します。\r"
    "基本波分や第５調波の計算機能は50Hzの限定機能となります。";

Form1Model::Form1Model(std::filesystem::path programFolder, Form1Host* host)
    : programFolder_(std::move(programFolder)), host_(host ? host : &defaultHost_) {
    createControls();
    bindEvents();
}

Form1Model::~Form1Model() = default;

void Form1Model::setHost(Form1Host* host) {
    host_ = host ? host : &defaultHost_;
}

namespace {

void makeOptionGroup(std::initializer_list<Control*> options) {
    for (Control* option : options) option->group.assign(options.begin(), options.end());
}

}  // namespace

void Form1Model::createControls() {
    using K = ControlKind;

    // File selection and header display
    controls_.add(Label1, "Label1", K::Label);
    controls_.add(Label6, "Label6", K::Label, "測定開始年月日");
    controls_.add(Label7, "Label7", K::Label, "測定開始時間");
    controls_.add(Label8, "Label8", K::Label, "記録長  DIV");
    controls_.add(Label9, "Label9", K::Label, "時間軸");
    controls_.addArray(Label12, "Label12", K::Label);
    for (int i = 0; i < kPositions; ++i) Label12[i].text = "ch" + std::to_string(i + 1) + "ﾚﾝｼﾞ";
    controls_.addArray(Label14, "Label14", K::Label);
    controls_.addArray(Label15, "Label15", K::Label);
    controls_.add(Label19, "Label19", K::Label, "ｻﾝﾌﾟﾘﾝｸﾞ周期");
    controls_.add(Label21, "Label21", K::Label);
    controls_.add(Label20, "Label20", K::Label, "Hz");
    controls_.add(Label27, "Label27", K::Label, "ﾃﾞｰﾀ数 (/DIV)");
    controls_.add(T_Div, "T_Div", K::Label);
    controls_.add(V_Div, "V_Div", K::Label);
    controls_.addArray(Label25, "Label25", K::Label);
    Label25[0].text = "ﾌﾟﾘﾄﾘｶﾞ";
    Label25[1].text = "％";
    controls_.add(Label26, "Label26", K::Label);
    controls_.add(LabelAN, "LabelAN", K::Label, "全ｻﾝﾌﾟﾙ数");
    controls_.add(LabASn, "LabASn", K::Label);
    controls_.add(LabelN, "LabelN", K::Label, "1出力ｻﾝﾌﾟﾙ数");
    controls_.add(Lab1OutN, "Lab1OutN", K::Label);
    controls_.add(LabelT, "LabelT", K::Label, "測定時間");
    controls_.add(LabSTim, "LabSTim", K::Label);
    controls_.addArray(Label17, "Label17", K::Label, "秒");
    controls_.add(Label32, "Label32", K::Label, "測定器機種");
    controls_.add(Label11, "Label11", K::Label, "出力ファイル名");
    controls_.add(Text5, "Text5", K::TextBox);
    Label11.visible = Text5.visible = false;

    // Processing choice
    controls_.add(Frame2, "Frame2", K::Frame, "処理内容");
    controls_.addArray(Option2, "Option2", K::OptionButton);
    Option2[0].text = "実効値演算";
    Option2[1].text = "生データ出力";
    Option2[2].text = "PQデータFFT";
    Option2[3].text = "CHデータFFT";
    Option2[0].value = 1;

    // Data kind
    controls_.add(Frame1, "Frame1", K::Frame, "データ");
    controls_.addArray(Option1, "Option1", K::OptionButton);
    Option1[0].text = "8840波形";
    Option1[1].text = "8808･35･41･80波形";
    Option1[2].text = "自動";
    Option1[3].text = "8808･35･41Rms";
    Option1[4].text = "8420･21ﾛｶﾞｰ";
    Option1[2].value = 1;
    controls_.add(Check11, "Check11", K::CheckBox, "時刻統計");
    Check11.enabled = false;
    controls_.add(Text6, "Text6", K::TextBox, "2000");

    // Scaling
    controls_.addArray(Label13, "Label13", K::Label, "電流ｸﾗﾝﾌﾟ");
    Label13[0].text = "ＰＴ比";
    controls_.addArray(Text7, "Text7", K::TextBox, "200");
    Text7[0].text = "60";
    controls_.addArray(Label16, "Label16", K::Label, "A/fs(0.2V)");
    Label16[0].text = "倍";
    controls_.add(Label29, "Label29", K::Label, "乗率");
    controls_.addArray(Text3, "Text3", K::TextBox, "1");
    controls_.addArray(Label30, "Label30", K::Label, "倍");
    Label29.visible = false;
    for (int i = 0; i < kPositions; ++i) Text3[i].visible = Label30[i].visible = false;

    // RMS computation
    controls_.add(Frame3, "Frame3", K::Frame, "実効値演算");
    controls_.add(LabelmS, "LabelmS", K::Label, "出力間隔");
    controls_.add(Text1, "Text1", K::TextBox, "20");
    controls_.addArray(Option5, "Option5", K::OptionButton);
    Option5[0].text = "50Hz";
    Option5[1].text = "60Hz";
    Option5[0].value = 1;
    controls_.add(Check1, "Check1", K::CheckBox, "基本波解析");
    controls_.add(Check3, "Check3", K::CheckBox, "第5次調波解析");
    controls_.add(Check5, "Check5", K::CheckBox, "周波数");
    controls_.add(Check6, "Check6", K::CheckBox, "相別出力");
    controls_.add(Frame7, "Frame7", K::Frame, "相別出力");
    Frame7.visible = false;
    controls_.addArray(Option3, "Option3", K::OptionButton);
    Option3[0].text = "線間";
    Option3[1].text = "相電圧";
    Option3[0].value = 1;
    controls_.add(Check2, "Check2", K::CheckBox, "自動位相確認");
    controls_.addArray(Option4, "Option4", K::OptionButton);
    Option4[0].text = "正転";
    Option4[1].text = "逆転";
    Option4[0].value = 1;
    controls_.add(Check13, "Check13", K::CheckBox, "10ms移動平均誤差補正");
    Check13.enabled = false;
    controls_.add(Check10, "Check10", K::CheckBox, "統計処理のみ出力");
    for (int i = 0; i < kMaxCircuits; ++i) {
        std::string index = "(" + std::to_string(i) + ")";
        controls_.add(Frame5[i], "Frame5" + index, K::Frame, "回路" + std::to_string(i + 1));
        controls_.add(Check7[i], "Check7" + index, K::CheckBox, "極性反転");
        controls_.add(Check8[i], "Check8" + index, K::CheckBox, "Y-Δ+30");
        controls_.add(Check9[i], "Check9" + index, K::CheckBox, "Y-Δ-30");
    }
    controls_.addArray(Check12, "Check12", K::CheckBox);
    Check12[0].text = "補償前電圧の計算";
    Check12[1].text = "理論補償値の計算";
    controls_.addArray(Frame6, "Frame6", K::Frame);
    Frame6[0].text = "補償前電圧";
    Frame6[1].text = "理論補償値";
    Frame6[0].visible = Frame6[1].visible = false;
    controls_.add(Label33, "Label33", K::Label, "計算対象フィーダ");
    controls_.addIndexes(Label34, "Label34", K::Label, {0, 1, 3});
    Label34[0].text = "Ｐ(kW)に対す定数";
    Label34[1].text = "Ｑ(kval)に対す定数";
    Label34[3].text = "線路定数R/X";
    controls_.addIndexes(Label35, "Label35", K::Label, {0, 1, 3});
    Label35[0].text = "V+P/kV×";
    Label35[1].text = "V+Q/kV×";
    Label35[3].text = "-Q-P×";
    controls_.addArray(Text8, "Text8", K::TextBox, "1");
    controls_.addArray(Text9, "Text9", K::TextBox);

    // Raw-data output
    controls_.add(Frame4, "Frame4", K::Frame, "生データ出力");
    Frame4.visible = false;
    controls_.add(Check15, "Check15", K::CheckBox, "時間軸を時刻(日時)で出力");
    controls_.add(Label22, "Label22", K::Label, "データ出力範囲");
    controls_.addArray(Text2, "Text2", K::TextBox);
    Text2[0].text = "0";
    controls_.addIndexes(Label23, "Label23", K::Label, {0, 1, 3});
    Label23[0].text = "回～";
    Label23[1].text = "回";
    Label23[3].text = "出力数";
    controls_.add(Label13a, "Label13a", K::Label, "Step");
    controls_.add(Text4, "Text4", K::TextBox, "1");
    controls_.add(Label24, "Label24", K::Label);

    // FFT
    controls_.add(Check4, "Check4", K::CheckBox, "時間移動FFT");
    Check4.visible = false;
    controls_.add(Frame8, "Frame8", K::Frame, "時間移動FFT");
    Frame8.visible = false;
    controls_.addIndexes(Label36, "Label36", K::Label, {0, 1, 2});
    Label36[0].text = "出力周波数";
    Label36[1].text = "ｻﾝﾌﾟﾘﾝｸﾞ数=2^";
    Label36[2].text = "移動間隔";
    controls_.add(Text11, "Text11", K::TextBox, "8");
    controls_.addArray(Label38, "Label38", K::Label);
    Label38[0].text = "0";
    Label38[1].text = "256";
    controls_.addArray(Label37, "Label37", K::Label);
    Label37[0].text = "～";
    Label37[1].text = "kHz";
    Label37[2].text = "kHz";
    Label37[3].text = "ms";
    controls_.addArray(Text10, "Text10", K::TextBox);
    Text10[0].text = "0.05";
    Text10[1].text = "10";
    Text10[2].text = "0.3";
    Text10[2].enabled = false;
    controls_.add(Check14, "Check14", K::CheckBox, "分割周期設定");
    controls_.add(Text12, "Text12", K::TextBox, "10");

    // Channel assignment
    controls_.add(Check16, "Check16", K::CheckBox, "Ch入替・個別反転");
    controls_.addArray(Combo1, "Combo1", K::ComboBox);
    controls_.addArray(Check17, "Check17", K::CheckBox, "反転");
    for (int j = 0; j < kPositions; ++j) {
        for (int item = 1; item <= kPositions; ++item)
            Combo1[j].items.push_back(item < 10 ? "Ch " + std::to_string(item) : "Ch" + std::to_string(item));
        Combo1[j].value = -1;
        Combo1[j].visible = Check17[j].visible = false;
    }

    // Commands and progress
    controls_.add(Command1, "Command1", K::CommandButton, "CSV変換");
    controls_.add(Command3, "Command3", K::CommandButton, "全ﾌｧｲﾙ処理");
    controls_.add(Command2, "Command2", K::CommandButton, "波形表示");
    controls_.add(Command4, "Command4", K::CommandButton, "ﾍﾞｸﾄﾙ表示");
    controls_.add(Command10, "Command10", K::CommandButton, "終了");
    Command1.enabled = Command2.enabled = Command3.enabled = Command4.enabled = false;
    controls_.add(PqCommand, "PqCommand", K::CommandButton, "電力品質解析");
    PqCommand.enabled = false;
    controls_.add(PqVoltsLabel, "PqVoltsLabel", K::Label, "公称電圧(V)");
    controls_.add(PqVolts, "PqVolts", K::TextBox);
    controls_.add(PqIntervalLabel, "PqIntervalLabel", K::Label, "集計間隔");
    controls_.add(PqInterval, "PqInterval", K::ComboBox);
    PqInterval.items = {"200ms", "3s", "10min", "2h"};
    PqInterval.value = 2;
    PqInterval.text = PqInterval.items[2];
    controls_.add(ReportCommand, "ReportCommand", K::CommandButton, "レポート");
    controls_.add(TrendCommand, "TrendCommand", K::CommandButton, "トレンド");
    ReportCommand.enabled = TrendCommand.enabled = false;
    controls_.add(Label10, "Label10", K::Label, "データ解析中");
    Label10.visible = false;

    placeControlsInFrames();
    makeOptionGroup({&Option1[0], &Option1[1], &Option1[2], &Option1[3], &Option1[4]});
    makeOptionGroup({&Option2[0], &Option2[1], &Option2[2], &Option2[3]});
    makeOptionGroup({&Option3[0], &Option3[1]});
    makeOptionGroup({&Option4[0], &Option4[1]});
    makeOptionGroup({&Option5[0], &Option5[1]});
}

// As the window draws them: what a frame hides or disables, it hides or disables with it.
void Form1Model::placeControlsInFrames() {
    placeIn(Frame2, {&Option2[0], &Option2[1], &Option2[2], &Option2[3]});
    placeIn(Frame1, {&Option1[0], &Option1[1], &Option1[2], &Option1[3], &Option1[4], &Check11, &Text6});
    placeIn(Frame3, {&LabelmS, &Text1, &Option5[0], &Option5[1], &Check1, &Check3, &Check5, &Check13, &Check10, &Check6,
                     &Frame7, &Check2, &Option4[0], &Option4[1], &Check12[0], &Check12[1], &Frame6[0], &Frame6[1]});
    placeIn(Frame7, {&Option3[0], &Option3[1]});
    for (int i = 0; i < kMaxCircuits; ++i) {
        placeIn(Frame3, {&Frame5[i]});
        placeIn(Frame5[i], {&Check7[i], &Check8[i], &Check9[i]});
    }
    placeIn(Frame6[0], {&Label33, &Text8[0], &Label34[0], &Label34[1], &Label35[0], &Label35[1], &Text9[0], &Text9[1]});
    placeIn(Frame6[1], {&Text8[1], &Label34[3], &Label35[3], &Text9[3]});
    placeIn(Frame4, {&Check15, &Label22, &Text2[0], &Text2[1], &Label23[0], &Label23[1], &Label13a, &Text4, &Label23[3],
                     &Label24});
    placeIn(Frame8, {&Label36[0], &Label36[1], &Label36[2], &Text11, &Label38[0], &Label38[1], &Label37[0], &Label37[1],
                     &Label37[2], &Label37[3], &Text10[0], &Text10[1], &Text10[2], &Check14, &Text12});
}

void Form1Model::bindEvents() {
    for (int i = 0; i < 5; ++i) Option1[i].onClick = [this, i] { Option1_Click(i); };
    for (int i = 0; i < 4; ++i) Option2[i].onClick = [this, i] { Option2_Click(i); };
    for (int i = 0; i < 2; ++i) {
        Option4[i].onClick = [this, i] { Option4_Click(i); };
        Option5[i].onClick = [this, i] { Option5_Click(i); };
        Check12[i].onClick = [this, i] { Check12_Click(i); };
        Text2[i].onChange = [this] { Text2_Change(); };
    }
    Text1.onChange = [this] { Text1_Change(); };
    Text4.onLostFocus = [this] { Text4_LostFocus(); };
    Text11.onChange = [this] { Text11_Change(); };
    Label14[16].onChange = [this] { Label14_Change(16); };
    Label21.onChange = [this] { Label21_Change(); };
    Label26.onChange = [this] { Label26_Change(); };
    Lab1OutN.onChange = [this] { Lab1OutN_Change(); };
    Check2.onClick = [this] { Check2_Click(); };
    Check4.onClick = [this] { Check4_Click(); };
    Check6.onClick = [this] { Check6_Click(); };
    Check10.onClick = [this] { Check10_Click(); };
    Check13.onClick = [this] { Check13_Click(); };
    Check14.onClick = [this] { Check14_Click(); };
    Check16.onClick = [this] { Check16_Click(); };
    for (int i = 0; i < kMaxCircuits; ++i) {
        Check8[i].onClick = [this, i] { Check8_Click(i); };
        Check9[i].onClick = [this, i] { Check9_Click(i); };
    }
    for (int j = 0; j < kPositions; ++j) {
        Check17[j].onClick = [this, j] { Check17_Click(j); };
        Combo1[j].onClick = [this, j] { Combo1_Click(j); };
    }
    Command1.onClick = [this] { Command1_Click(); };
    Command2.onClick = [this] { Command2_Click(); };
    Command3.onClick = [this] { Command3_Click(); };
    Command4.onClick = [this] { Command4_Click(); };
    Command10.onClick = [this] { Command10_Click(); };
    PqCommand.onClick = [this] { PqCommand_Click(); };
    ReportCommand.onClick = [this] { ReportCommand_Click(); };
    TrendCommand.onClick = [this] { TrendCommand_Click(); };
}

void Form1Model::Form_Load(int currentYear) {
    Drive1.drives = mountedVolumes();
    Drive1.drive = volumeOf(programFolder_, Drive1.drives);
    Dir1_Change(programFolder_.string());
    host_->showMessage(kInformationTitle, kInformationText);
    RawOutputStep = 1;
    setText(Text6, std::to_string(currentYear));
    SupplyFrequency = 50;
    // The assignment starts as the identity; the lists are set without their click rule,
    // which would otherwise swap positions against a table not yet filled.
    for (int j = 0; j < kPositions; ++j) {
        Combo1[j].value = j;
        Combo1[j].text = Combo1[j].items[j];
        ChannelSelection[j] = ChannelMap[j] = static_cast<std::int16_t>(j);
    }
}

}  // namespace pqwave
