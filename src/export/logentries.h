// The entries of the diagnostics log, as formats for LogEntry (rowfields.h).
// "｢" and "｣" are the single-byte corner brackets, "･" the single-byte
// middle dot; every entry starts with LF and its kind.
#pragma once

// An amount whose text is longer than its column (%s: the whole-unit text).
inline constexpr char kAmountEntry[] =
    "\n＜ERROR＞\n金額｢%s｣は、連携可能最大桁数をオーバーしています。";
// A quantity of 1,000,000 or more (%.2f: the quantity).
inline constexpr char kQuantityEntry[] =
    "\n＜WARNING＞\n数量｢%.2f｣は、連携可能最大桁数をオーバーしています。\n"
    "減価償却データが、正しく連携されない可能性があります。";

// Ordinary rows. Code longer than 6 bytes (%s: the host's code).
inline constexpr char kCodeLengthEntry[] =
    "\n＜WARNING＞\n資産コード｢%s｣は、連携可能最大桁数をオーバーしています。\n"
    "データが、正しく連携されない可能性があります。";
// A code byte that is no ASCII letter or digit (%s: the six-byte code).
inline constexpr char kCodeCharsEntry[] =
    "\n＜ERROR＞\n資産コード｢%s｣には、半角英数以外の文字が使用されています。";
// A code already written (%s: the host's code).
inline constexpr char kCodeTakenEntry[] =
    "\n＜ERROR＞\n資産コード｢%s｣は、他の資産コードと重複してしまいます。";
// A kind code of three digits or more (%d: the kind code).
inline constexpr char kKindCodeEntry[] =
    "\n＜WARNING＞\n資産種類コード｢%d｣は、連携可能最大桁数をオーバーしています。\n"
    "データが、正しく連携されない可能性があります。";
// A name longer than its column (%s: the whole name).
inline constexpr char kNameEntry[] =
    "\n＜WARNING＞\n資産名称｢%s｣は、\n連携可能最大文字数をオーバーしています。\n"
    "超過した文字は、自動的に切り捨てられます。";
// A memo that the two memo columns cannot hold (%s: the whole memo).
inline constexpr char kMemoEntry[] =
    "\n＜WARNING＞\nメモ欄｢%s｣は、\n連携可能最大文字数をオーバーしています。\n"
    "超過した文字は、自動的に切り捨てられます。";

// Breakdown rows. The hundredth line of a lump-sum asset.
inline constexpr char kLineCountEntry[] =
    "\n＜WARNING＞\n連携可能な最大内訳件数は99件です。\n"
    "100件目から後の内訳は出力されません。";
// Code and number longer than 8 bytes (%s%s: both as the host has them).
inline constexpr char kLineCodeLengthEntry[] =
    "\n＜WARNING＞\n資産コード+内訳付番｢%s%s｣は、連携可能最大桁数をオーバーしています。\n"
    "データが、正しく連携されない可能性があります。";
// A code byte that is no ASCII letter or digit (%08s: the eight-byte code).
inline constexpr char kLineCodeCharsEntry[] =
    "\n＜ERROR＞\n資産コード｢%08s｣には、半角英数以外の文字が使用されています。";
// The eight-byte code already written (%s, %s, %08s: code, number, eight-byte code).
inline constexpr char kLineCodeTakenEntry[] =
    "\n＜ERROR＞\n資産コード｢%s｣と内訳付番｢%s｣から構成される\n"
    "資産・内訳コード｢%08s｣は、\n他の資産･内訳コードと重複しています。";
// The code part is the code of an ordinary row (%08s, %s: eight-byte code, code).
inline constexpr char kLineCodePartTakenEntry[] =
    "\n＜ERROR＞\n資産コード+内訳付番｢%08s｣は、\n"
    "資産コード｢%s｣が他の資産コードと重複してしまいます。";
// A breakdown name longer than its column (%s: the whole name).
inline constexpr char kLineNameEntry[] =
    "\n＜WARNING＞\n内訳名称｢%s｣は、\n連携可能最大文字数をオーバーしています。\n"
    "超過した文字は、自動的に切り捨てられます。";

// A text holding a comma or a line break, written with them replaced: the
// head, the subject (asset or kind and column), the body, the original text
// and "｣".
inline constexpr char kSeparatorEntryHead[] = "\n＜WARNING＞\n";
inline constexpr char kSeparatorEntryBody[] =
    "にカンマか改行が含まれています。\n全角カンマ･空白に置き換えて出力します。\n｢";
// A text holding bytes that are no character (a store edited by hand),
// written with each replaced by "?": kSeparatorEntryHead, the subject, this
// body, the original text and "｣". An entry shows each such byte of the
// original as "＜XX＞" (its hex digits) and each line break as "↓".
inline constexpr char kInvalidCharEntryBody[] =
    "に文字として読めないバイトが含まれています。\n｢?｣に置き換えて出力します。\n｢";
