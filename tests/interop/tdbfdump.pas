program tdbfdump;
{ Reads and writes dBase tables through Free Pascal's TDbf, as an independent check of Vadelux's own
  dBase layer. Text is passed through byte for byte (no code page translation), so a Windows-1252
  value comes out exactly as it is stored.

  Usage:
    tdbfdump dump DIR FILE [TAG]
        Opens DIR/FILE read-only and prints, one item a line:
          level <n>                       the table level TDbf sees (3, 4 or 7)
          language $<hh>                  the language driver byte
          records <n>                     the record count
          field <NAME> <type> <size> <decimals>
          index <TAG> <expression>        every index that TDbf lists
          order <TAG>                     only when TAG was given and TDbf really switched to it
          rec <recno><TAB><value><TAB>...  every row, in TAG order when TAG is given
        A blank field prints as NULL. Numbers print with a '.' decimal point, logicals as T/F,
        dates as YYYYMMDD, timestamps as "YYYYMMDD HH:NN:SS".
        With TAG, exits 3 when the index cannot be opened (IndexName did not become TAG).
    tdbfdump seek DIR FILE TAG KEY...
        Opens the table read-only in TAG order and, for each whole-number KEY, prints
        "seek <KEY> <recno>" for the first row whose key is KEY or greater, or "seek <KEY> none".
        Exits 3 when the index cannot be opened.
    tdbfdump create DIR FILE LEVEL [-i TAG] FIELD...
        Creates DIR/FILE at table level 3, 4 or 7 (language driver $57) with the fields
        FIELD = NAME:TYPE[:SIZE[:DECIMALS]] (types C N F L D I O @), and with -i a production index
        tag TAG on the field TAG. Rows come from standard input, one a line, values separated by tabs
        in field order, in the formats that dump prints; \N leaves a field blank.
  Exit codes: 0 done, 1 TDbf raised an error (message on stderr), 2 bad usage, 3 index not opened. }
{$mode objfpc}{$H+}
uses
  SysUtils, Classes, Variants, db, dbf, dbf_common, dbf_fields;

const
  ExitIndexNotOpened = 3;

type
  { Hooks that keep TDbf from translating text and from dropping a missing index silently. }
  THooks = class
    IndexMissing: Boolean;
    function KeepBytes(Dbf: TDbf; Src, Dest: PChar; ToOem: Boolean): Integer;
    procedure OnIndexMissing(var DeleteLink: Boolean);
  end;

  EUsage = class(Exception);

var
  Numbers: TFormatSettings;

function THooks.KeepBytes(Dbf: TDbf; Src, Dest: PChar; ToOem: Boolean): Integer;
begin
  Result := StrLen(Src);
  if Src <> Dest then
    Move(Src^, Dest^, Result + 1);
end;

procedure THooks.OnIndexMissing(var DeleteLink: Boolean);
begin
  IndexMissing := True;
  DeleteLink := False;
end;

function FieldText(F: TField): string;
begin
  if F.IsNull then
    Exit('NULL');
  case F.DataType of
    ftFloat, ftCurrency, ftBCD:
      Result := FloatToStr(F.AsFloat, Numbers);
    ftBoolean:
      if F.AsBoolean then Result := 'T' else Result := 'F';
    ftDate:
      Result := FormatDateTime('yyyymmdd', F.AsDateTime);
    ftDateTime, ftTimeStamp:
      Result := FormatDateTime('yyyymmdd hh:nn:ss', F.AsDateTime);
  else
    Result := F.AsString;
  end;
end;

function ParseDate(const S: string): TDateTime;
begin
  Result := EncodeDate(StrToInt(Copy(S, 1, 4)), StrToInt(Copy(S, 5, 2)), StrToInt(Copy(S, 7, 2)));
  if Length(S) > 8 then
    Result := Result + EncodeTime(StrToInt(Copy(S, 10, 2)), StrToInt(Copy(S, 13, 2)),
                                  StrToInt(Copy(S, 16, 2)), 0);
end;

procedure SetFieldText(F: TField; const S: string);
begin
  if S = '\N' then
    Exit;  // never set: stays blank
  case F.DataType of
    ftSmallint, ftInteger, ftWord, ftAutoInc:
      F.AsInteger := StrToInt(S);
    ftLargeint:
      F.AsLargeInt := StrToInt64(S);
    ftFloat, ftCurrency, ftBCD:
      F.AsFloat := StrToFloat(S, Numbers);
    ftBoolean:
      F.AsBoolean := S = 'T';
    ftDate, ftDateTime, ftTimeStamp:
      F.AsDateTime := ParseDate(S);
  else
    F.AsString := S;
  end;
end;

function NewTable(const Dir, FileName: string; Hooks: THooks): TDbf;
begin
  Result := TDbf.Create(nil);
  Result.FilePathFull := IncludeTrailingPathDelimiter(Dir);
  Result.TableName := FileName;
  Result.OnTranslate := @Hooks.KeepBytes;
  Result.OnIndexMissing := @Hooks.OnIndexMissing;
end;

{ Switches T to the index TAG; halts with ExitIndexNotOpened when TDbf did not really take it. }
procedure UseIndex(T: TDbf; const Tag: string; Hooks: THooks);
var
  I: Integer;
  Listed: Boolean;
begin
  Listed := False;
  for I := 0 to T.IndexDefs.Count - 1 do
    if SameText(T.IndexDefs.Items[I].Name, Tag) then
      Listed := True;
  if Listed and not Hooks.IndexMissing then
  begin
    T.IndexName := Tag;
    if SameText(T.IndexName, Tag) then
      Exit;
  end;
  WriteLn(ErrOutput, 'index ', Tag, ' not opened (listed=', Listed, ', missing=', Hooks.IndexMissing,
          ', IndexName="', T.IndexName, '")');
  T.Close;
  Halt(ExitIndexNotOpened);
end;

procedure Dump(const Dir, FileName, Tag: string);
var
  T: TDbf;
  Hooks: THooks;
  I: Integer;
  Line: string;
begin
  Hooks := THooks.Create;
  T := NewTable(Dir, FileName, Hooks);
  try
    T.ReadOnly := True;
    T.Open;
    WriteLn('level ', T.TableLevel);
    WriteLn('language $', IntToHex(T.LanguageID, 2));
    WriteLn('records ', T.RecordCount);
    for I := 0 to T.DbfFieldDefs.Count - 1 do
      with T.DbfFieldDefs.Items[I] do
        WriteLn('field ', FieldName, ' ', NativeFieldType, ' ', Size, ' ', Precision);
    T.IndexDefs.Update;
    for I := 0 to T.IndexDefs.Count - 1 do
      WriteLn('index ', T.IndexDefs.Items[I].Name, ' ', T.IndexDefs.Items[I].SortField);
    if Tag <> '' then
    begin
      UseIndex(T, Tag, Hooks);
      WriteLn('order ', T.IndexName);
    end;
    T.First;
    while not T.EOF do
    begin
      Line := 'rec ' + IntToStr(T.PhysicalRecNo);
      for I := 0 to T.FieldCount - 1 do
        Line := Line + #9 + FieldText(T.Fields[I]);
      WriteLn(Line);
      T.Next;
    end;
    T.Close;
  finally
    T.Free;
    Hooks.Free;
  end;
end;

procedure Seek(const Dir, FileName, Tag: string; FirstKey: Integer);
var
  T: TDbf;
  Hooks: THooks;
  I: Integer;
  Key: Int64;
begin
  Hooks := THooks.Create;
  T := NewTable(Dir, FileName, Hooks);
  try
    T.ReadOnly := True;
    T.Open;
    T.IndexDefs.Update;
    UseIndex(T, Tag, Hooks);
    for I := FirstKey to ParamCount do
    begin
      Key := StrToInt64(ParamStr(I));
      if T.SearchKey(Key, stGreaterEqual) then
        WriteLn('seek ', Key, ' ', T.PhysicalRecNo)
      else
        WriteLn('seek ', Key, ' none');
    end;
    T.Close;
  finally
    T.Free;
    Hooks.Free;
  end;
end;

procedure AddField(Defs: TDbfFieldDefs; const Layout: string);
var
  Pieces: TStringArray;
  Def: TDbfFieldDef;
begin
  Pieces := Layout.Split(':');
  if (Length(Pieces) < 2) or (Length(Pieces[1]) <> 1) then
    raise EUsage.Create('bad field ' + Layout);
  Def := Defs.AddFieldDef;
  Def.FieldName := Pieces[0];
  Def.NativeFieldType := Pieces[1][1];
  if Length(Pieces) > 2 then
    Def.Size := StrToInt(Pieces[2]);
  if Length(Pieces) > 3 then
    Def.Precision := StrToInt(Pieces[3]);
end;

procedure CreateTable(const Dir, FileName: string);
var
  T: TDbf;
  Hooks: THooks;
  Defs: TDbfFieldDefs;
  Level, I: Integer;
  Tag, Row: string;
  Values: TStringArray;
begin
  Level := StrToInt(ParamStr(4));
  I := 5;
  Tag := '';
  if ParamStr(I) = '-i' then
  begin
    Tag := ParamStr(I + 1);
    Inc(I, 2);
  end;
  Hooks := THooks.Create;
  T := NewTable(Dir, FileName, Hooks);
  Defs := TDbfFieldDefs.Create(nil);
  try
    T.TableLevel := Level;
    T.LanguageID := $57;
    case Level of
      3: Defs.DbfVersion := xBaseIII;
      4: Defs.DbfVersion := xBaseIV;
      7: Defs.DbfVersion := xBaseVII;
    else
      raise EUsage.Create('bad level ' + ParamStr(4));
    end;
    for I := I to ParamCount do
      AddField(Defs, ParamStr(I));
    T.CreateTableEx(Defs);
    T.Exclusive := True;
    T.Open;
    if Tag <> '' then
      T.AddIndex(Tag, Tag, []);
    while not EOF(Input) do
    begin
      ReadLn(Input, Row);
      if Row = '' then
        Continue;
      Values := Row.Split(#9);
      if Length(Values) <> T.FieldCount then
        raise EUsage.Create(Format('row has %d values, table has %d fields', [Length(Values), T.FieldCount]));
      T.Append;
      for I := 0 to T.FieldCount - 1 do
        SetFieldText(T.Fields[I], Values[I]);
      T.Post;
    end;
    T.Close;
  finally
    Defs.Free;
    T.Free;
    Hooks.Free;
  end;
end;

procedure Usage;
begin
  WriteLn(ErrOutput, 'usage: tdbfdump dump DIR FILE [TAG]');
  WriteLn(ErrOutput, '       tdbfdump seek DIR FILE TAG KEY...');
  WriteLn(ErrOutput, '       tdbfdump create DIR FILE LEVEL [-i TAG] NAME:TYPE[:SIZE[:DECIMALS]]...');
  Halt(2);
end;

var
  Command: string;
begin
  Numbers := DefaultFormatSettings;
  Numbers.DecimalSeparator := '.';
  Numbers.ThousandSeparator := #0;
  Command := ParamStr(1);
  try
    if (Command = 'dump') and (ParamCount in [3, 4]) then
      Dump(ParamStr(2), ParamStr(3), ParamStr(4))
    else if (Command = 'seek') and (ParamCount >= 5) then
      Seek(ParamStr(2), ParamStr(3), ParamStr(4), 5)
    else if (Command = 'create') and (ParamCount >= 5) then
      CreateTable(ParamStr(2), ParamStr(3))
    else
      Usage;
  except
    on E: EUsage do
    begin
      WriteLn(ErrOutput, E.Message);
      Usage;
    end;
    on E: Exception do
    begin
      WriteLn(ErrOutput, 'error ', E.ClassName, ': ', E.Message);
      Halt(1);
    end;
  end;
end.
