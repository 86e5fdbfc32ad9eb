#pragma once
// The program's own captions and messages, in one table. Format pieces end or begin with the
// blank they need; the callers add the names and numbers.

namespace tesmar {

// ---- Reading a drawing
inline constexpr char16_t kDxfBusyMessage[] = u"DXFファイルは使用中です．";
inline constexpr char16_t kDxfFailedMessage[] = u"DXFファイル読み込み失敗．";
inline constexpr char16_t kLineNumberLabel[] = u" 行=";  // "<line> 行=<text>" of a bad pair

// ---- Library catalogue and hint file
inline constexpr char16_t kFolderSearchText[] = u"フォルダ検索中 ...";
inline constexpr char16_t kChooseFolderTitle[] = u"フォルダの指定";
inline constexpr char16_t kRemoveTopFolderQuestion[] = u" の登録を削除しますか？";  // after the folder
inline constexpr char16_t kHintCreateQuestion[] = u"説明ファイル TesmarHint.txt のたたき台を作成しますか？";

// ---- Main window
inline constexpr char16_t kAddButtonCaption[] = u"追加";
inline constexpr char16_t kRemoveButtonCaption[] = u"削除";
inline constexpr char16_t kPreviewEnlargedCaption[] = u"プレビューイメージ=拡大";
inline constexpr char16_t kPreviewAsIsCaption[] = u"プレビューイメージ=そのまま";
inline constexpr char16_t kLispMenuPrefix[] = u"■ロード ";  // before the LISP file's name
inline constexpr char16_t kTargetCaptionDefault[] = u"ターゲット CAD";
inline constexpr char16_t kTargetCaptionPrefix[] = u"ターゲット = ";  // before the target's name
// The About box: "Tesmar.exe <version>", then this line.
inline constexpr char16_t kAboutSecondLine[] = u"DWG 図面ライブラリ パレット for CAD";
// The program folder cannot be written (a copy under Program Files): said once, at start.
inline constexpr char16_t kReadOnlyFolderMessage[] =
    u"プログラムのフォルダに書き込めないため、設定（ウィンドウの位置、登録したフォルダ、挿入設定など）を保存できません。\n\n";
inline constexpr char16_t kReadOnlyFolderAdvice[] =
    u"\n\nTesmar のセットアップ（ユーザーごとのインストール）でインストールするか、書き込みのできるフォルダに Tesmar.exe を置いてください。このまま使うこともできます。";
inline constexpr char16_t kLoadingText[] = u"データ読み込み中 ...";

}  // namespace tesmar
