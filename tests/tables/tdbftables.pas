program tdbftables;
{ Independent dBase writer and reader for the tables tests, built on Free Pascal's TDbf.

  tdbftables make DIR NAME LEVEL
      Creates DIR/NAME at table level 3, 4 or 7 with the sample rows below (one of them deleted).
      Level 3: C N L D.  Level 4: C N F L D I.  Level 7: C N F L D I O @ +.
  tdbftables dump DIR NAME
      Opens DIR/NAME read-only and prints "level=L codepage=C" then one line per row that is not deleted:
      FIELD=value|FIELD=value|...  with NULL for a blank field, dates as yyyymmdd and
      timestamps as yyyymmdd hh:nn:ss.
  Exit code 0 on success, 1 on any error (the message goes to standard output). }
{$mode objfpc}{$H+}
uses SysUtils, Classes, db, dbf, dbf_fields, dbf_common;

procedure AddField(Defs: TDbfFieldDefs; const AName: string; AType: Char; ASize, APrec: Integer);
var
  Def: TDbfFieldDef;
begin
  Def := Defs.AddFieldDef;
  Def.FieldName := AName;
  Def.NativeFieldType := AType;
  Def.Size := ASize;
  Def.Precision := APrec;
end;

procedure SetIf(T: TDbf; const AName: string; AValue: Variant);
begin
  if T.FindField(AName) <> nil then
    T.FieldByName(AName).Value := AValue;
end;

procedure AddRow(T: TDbf; const Nombre: RawByteString; Cant: Integer; Precio, Peso: Double;
  Activo: Boolean; Fecha: TDateTime; Entero: Integer; Doble: Double; Momento: TDateTime);
begin
  T.Append;
  T.FieldByName('NOMBRE').AsString := Nombre;
  T.FieldByName('CANT').AsInteger := Cant;
  SetIf(T, 'PRECIO', Precio);
  SetIf(T, 'PESO', Peso);
  T.FieldByName('ACTIVO').AsBoolean := Activo;
  T.FieldByName('FECHA').AsDateTime := Fecha;
  SetIf(T, 'ENTERO', Entero);
  SetIf(T, 'DOBLE', Doble);
  if T.FindField('MOMENTO') <> nil then
    T.FieldByName('MOMENTO').AsDateTime := Momento;
  T.Post;
end;

procedure MakeTable(const Dir, Name: string; Level: Integer);
var
  T: TDbf;
  Defs: TDbfFieldDefs;
begin
  T := TDbf.Create(nil);
  Defs := TDbfFieldDefs.Create(nil);
  try
    T.FilePathFull := Dir;
    T.TableName := Name;
    T.TableLevel := Level;
    T.LanguageID := $57;
    case Level of
      3: Defs.DbfVersion := xBaseIII;
      7: Defs.DbfVersion := xBaseVII;
    else
      Defs.DbfVersion := xBaseIV;
    end;
    AddField(Defs, 'NOMBRE', 'C', 12, 0);
    AddField(Defs, 'CANT', 'N', 6, 0);
    AddField(Defs, 'PRECIO', 'N', 9, 2);
    if Level >= 4 then
      AddField(Defs, 'PESO', 'F', 10, 3);
    AddField(Defs, 'ACTIVO', 'L', 1, 0);
    AddField(Defs, 'FECHA', 'D', 8, 0);
    if Level >= 4 then
      AddField(Defs, 'ENTERO', 'I', 4, 0);
    if Level = 7 then
    begin
      AddField(Defs, 'DOBLE', 'O', 8, 0);
      AddField(Defs, 'MOMENTO', '@', 8, 0);
      AddField(Defs, 'CONTADOR', '+', 4, 0);
    end;
    T.CreateTableEx(Defs);
    T.Exclusive := True;
    T.Open;
    AddRow(T, 'Mar'#$ED'a '#$D1'u'#$F1'ez', 12, 3.5, 10.125, True, EncodeDate(2024, 9, 16), 123456,
      2.5, EncodeDate(2024, 9, 16) + EncodeTime(8, 30, 15, 0));
    AddRow(T, 'borrada', 1, 1, 1, False, EncodeDate(2000, 1, 1), 1, 1, EncodeDate(2000, 1, 1));
    T.Delete;
    AddRow(T, '  con blancos', -45, -0.75, -2.5, False, EncodeDate(1999, 12, 31), -7,
      -1234.5, EncodeDate(1999, 12, 31) + EncodeTime(23, 59, 59, 0));
    { a row with every field but NOMBRE left blank }
    T.Append;
    T.FieldByName('NOMBRE').AsString := 'vac'#$ED'a';
    T.Post;
    AddRow(T, 'ceros', 0, 0, 0, True, EncodeDate(2031, 2, 28), 0, 0,
      EncodeDate(2031, 2, 28));
    T.Close;
  finally
    Defs.Free;
    T.Free;
  end;
end;

function FieldText(F: TField): string;
begin
  if F.IsNull then
    Exit('NULL');
  case F.DataType of
    ftDate: Result := FormatDateTime('yyyymmdd', F.AsDateTime);
    ftDateTime: Result := FormatDateTime('yyyymmdd hh:nn:ss', F.AsDateTime);
    ftFloat: Result := FloatToStr(F.AsFloat);
    ftBoolean: if F.AsBoolean then Result := 'T' else Result := 'F';
  else
    Result := F.AsString;
  end;
end;

procedure DumpTable(const Dir, Name: string);
var
  T: TDbf;
  I: Integer;
  Line: string;
begin
  T := TDbf.Create(nil);
  try
    T.FilePathFull := Dir;
    T.TableName := Name;
    T.ReadOnly := True;
    T.Open;
    WriteLn('level=', T.TableLevel, ' codepage=', T.CodePage);
    T.First;
    while not T.EOF do
    begin
      Line := '';
      for I := 0 to T.FieldCount - 1 do
      begin
        if I > 0 then
          Line := Line + '|';
        Line := Line + T.Fields[I].FieldName + '=' + FieldText(T.Fields[I]);
      end;
      WriteLn(Line);
      T.Next;
    end;
    T.Close;
  finally
    T.Free;
  end;
end;

begin
  DefaultFormatSettings.DecimalSeparator := '.';
  try
    if (ParamCount = 4) and (ParamStr(1) = 'make') then
      MakeTable(IncludeTrailingPathDelimiter(ParamStr(2)), ParamStr(3), StrToInt(ParamStr(4)))
    else if (ParamCount = 3) and (ParamStr(1) = 'dump') then
      DumpTable(IncludeTrailingPathDelimiter(ParamStr(2)), ParamStr(3))
    else
    begin
      WriteLn('usage: tdbftables make DIR NAME LEVEL | dump DIR NAME');
      Halt(2);
    end;
  except
    on E: Exception do
    begin
      WriteLn('error: ', E.ClassName, ': ', E.Message);
      Halt(1);
    end;
  end;
end.
