{ Builds RAYUELA.chm from its HTML Help project (.hhp) with Free Pascal's CHM writer.

  Usage: mkchm PROJECT.hhp OUTPUT.chm

  The project is read here: [OPTIONS] (contents file, default topic, title, language, full-text search),
  [FILES] (paths relative to the project's folder), [ALIAS] (NAME=file) and [MAP] ("#define NAME number"
  lines, inline or through "#include file"). Each context number is stored with the topic's name as it
  appears in the file, relative to the file's root, so that a viewer finds the topic on any machine.
  Any inconsistency in the project stops the build with a message and exit code 1. }
program mkchm;

{$mode objfpc}{$H+}

uses
  Classes, SysUtils, chmwriter;

type
  EProject = class(Exception);

  { Feeds the writer the project's files and, at the end, the table of contents. }
  TFeeder = class
  public
    BaseDir: string;
    Toc: TMemoryStream;
    function GetData(const DataName: string; out PathInChm: string; out FileName: string;
      var Stream: TStream): Boolean;
    procedure LastFile(Sender: TObject);
  end;

  TProject = class
  public
    BaseDir: string;
    Options: TStringList;   { NAME=VALUE, names upper-cased }
    Files: TStringList;
    Aliases: TStringList;   { NAME=file }
    Defines: TStringList;   { NAME=number }
    constructor Create;
    destructor Destroy; override;
    procedure Load(const HhpPath: string);
    function Option(const Name: string): string;
  private
    procedure ReadMapLine(const Line, FromFile: string);
    procedure ReadDefines(const HeaderPath: string);
  end;

function TFeeder.GetData(const DataName: string; out PathInChm: string; out FileName: string;
  var Stream: TStream): Boolean;
begin
  Result := False; { False: go on with the next file }
  TMemoryStream(Stream).LoadFromFile(BaseDir + DataName);
  FileName := ExtractFileName(DataName);
  PathInChm := '/' + ExtractFilePath(DataName);
end;

procedure TFeeder.LastFile(Sender: TObject);
begin
  TChmWriter(Sender).AppendTOC(Toc);
end;

constructor TProject.Create;
begin
  Options := TStringList.Create;
  Files := TStringList.Create;
  Aliases := TStringList.Create;
  Defines := TStringList.Create;
end;

destructor TProject.Destroy;
begin
  Options.Free;
  Files.Free;
  Aliases.Free;
  Defines.Free;
  inherited Destroy;
end;

function TProject.Option(const Name: string): string;
begin
  Result := Options.Values[UpperCase(Name)];
end;

procedure TProject.ReadDefines(const HeaderPath: string);
var
  Lines: TStringList;
  I: Integer;
begin
  if not FileExists(HeaderPath) then
    raise EProject.CreateFmt('[MAP] includes %s, which does not exist', [HeaderPath]);
  Lines := TStringList.Create;
  try
    Lines.LoadFromFile(HeaderPath);
    for I := 0 to Lines.Count - 1 do
      if Pos('#define', TrimLeft(Lines[I])) = 1 then
        ReadMapLine(Trim(Lines[I]), HeaderPath);
  finally
    Lines.Free;
  end;
end;

procedure TProject.ReadMapLine(const Line, FromFile: string);
var
  Parts: TStringArray;
  Words: TStringList;
  P: string;
  Number: LongInt;
begin
  Words := TStringList.Create;
  try
    Parts := Line.Split([' ', #9]);
    for P in Parts do
      if P <> '' then
        Words.Add(P);
    if (Words.Count >= 2) and (Words[0] = '#include') then
      ReadDefines(BaseDir + Words[1])
    else if (Words.Count = 3) and (Words[0] = '#define') then
    begin
      if not TryStrToInt(Words[2], Number) or (Number <= 0) then
        raise EProject.CreateFmt('%s: context number of %s is not a positive number: %s',
          [FromFile, Words[1], Words[2]]);
      Defines.Values[Words[1]] := IntToStr(Number);
    end
    else
      raise EProject.CreateFmt('%s: [MAP] line not understood: %s', [FromFile, Line]);
  finally
    Words.Free;
  end;
end;

procedure TProject.Load(const HhpPath: string);
var
  Lines: TStringList;
  Section, Line: string;
  I, Eq: Integer;
begin
  if not FileExists(HhpPath) then
    raise EProject.CreateFmt('project %s does not exist', [HhpPath]);
  BaseDir := IncludeTrailingPathDelimiter(ExtractFilePath(ExpandFileName(HhpPath)));
  Lines := TStringList.Create;
  try
    Lines.LoadFromFile(HhpPath);
    Section := '';
    for I := 0 to Lines.Count - 1 do
    begin
      Line := Trim(Lines[I]);
      if (Line = '') or (Line[1] = ';') then
        Continue;
      if (Line[1] = '[') and (Line[Length(Line)] = ']') then
      begin
        Section := UpperCase(Copy(Line, 2, Length(Line) - 2));
        Continue;
      end;
      if Section = 'FILES' then
        Files.Add(StringReplace(Line, '\', '/', [rfReplaceAll]))
      else if Section = 'MAP' then
        ReadMapLine(Line, HhpPath)
      else if (Section = 'OPTIONS') or (Section = 'ALIAS') then
      begin
        Eq := Pos('=', Line);
        if Eq = 0 then
          raise EProject.CreateFmt('%s: line without "=" in [%s]: %s', [HhpPath, Section, Line]);
        if Section = 'OPTIONS' then
          Options.Values[UpperCase(Trim(Copy(Line, 1, Eq - 1)))] := Trim(Copy(Line, Eq + 1, MaxInt))
        else
          Aliases.Values[Trim(Copy(Line, 1, Eq - 1))] :=
            StringReplace(Trim(Copy(Line, Eq + 1, MaxInt)), '\', '/', [rfReplaceAll]);
      end;
      { other sections ([WINDOWS], [INFOTYPES]...) are not used by this help }
    end;
  finally
    Lines.Free;
  end;
end;

{ The language option reads "0xc0a Spanish (Modern Sort)": the number comes first. }
function LanguageId(const Value: string): LongWord;
var
  Head: string;
  Space: Integer;
begin
  Result := $0C0A;
  Head := Trim(Value);
  Space := Pos(' ', Head);
  if Space > 0 then
    Head := Copy(Head, 1, Space - 1);
  if LowerCase(Copy(Head, 1, 2)) = '0x' then
    Head := '$' + Copy(Head, 3, MaxInt);
  if Head <> '' then
    Result := StrToIntDef(Head, $0C0A);
end;

procedure Build(const HhpPath, ChmPath: string);
var
  Project: TProject;
  Feeder: TFeeder;
  Writer: TChmWriter;
  Output: TFileStream;
  TocName, TempPath, Topic: string;
  I: Integer;
begin
  Project := TProject.Create;
  Feeder := TFeeder.Create;
  try
    Project.Load(HhpPath);
    if Project.Files.Count = 0 then
      raise EProject.Create('the project lists no files');
    for I := 0 to Project.Files.Count - 1 do
      if not FileExists(Project.BaseDir + Project.Files[I]) then
        raise EProject.CreateFmt('file %s listed in [FILES] does not exist', [Project.Files[I]]);

    TocName := Project.Option('Contents file');
    if TocName = '' then
      raise EProject.Create('the project names no contents file');
    if not FileExists(Project.BaseDir + TocName) then
      raise EProject.CreateFmt('contents file %s does not exist', [TocName]);
    if Project.Files.IndexOf(Project.Option('Default topic')) < 0 then
      raise EProject.CreateFmt('default topic "%s" is not listed in [FILES]',
        [Project.Option('Default topic')]);

    Feeder.BaseDir := Project.BaseDir;
    Feeder.Toc := TMemoryStream.Create;
    Feeder.Toc.LoadFromFile(Project.BaseDir + TocName);

    { Written beside the target and renamed at the end, so a failed build leaves no half file. }
    TempPath := ChmPath + '.tmp';
    Output := TFileStream.Create(TempPath, fmCreate);
    Writer := TChmWriter.Create(Output, False);
    try
      Writer.OnGetFileData := @Feeder.GetData;
      Writer.OnLastFile := @Feeder.LastFile;
      Writer.FilesToCompress.AddStrings(Project.Files);
      Writer.DefaultPage := Project.Option('Default topic');
      Writer.Title := Project.Option('Title');
      Writer.TocName := TocName;
      Writer.LocaleID := LanguageId(Project.Option('Language'));
      Writer.FullTextSearch := SameText(Project.Option('Full-text search'), 'Yes');

      for I := 0 to Project.Defines.Count - 1 do
      begin
        Topic := Project.Aliases.Values[Project.Defines.Names[I]];
        if Topic = '' then
          raise EProject.CreateFmt('context %s has no [ALIAS] entry', [Project.Defines.Names[I]]);
        if Project.Files.IndexOf(Topic) < 0 then
          raise EProject.CreateFmt('alias %s names %s, which is not listed in [FILES]',
            [Project.Defines.Names[I], Topic]);
        Writer.AddContext(StrToInt(Project.Defines.ValueFromIndex[I]), Topic);
      end;

      Writer.Execute;
    finally
      Writer.Free;
      Output.Free;
    end;
    if FileExists(ChmPath) and not DeleteFile(ChmPath) then
      raise EProject.CreateFmt('cannot replace %s', [ChmPath]);
    if not RenameFile(TempPath, ChmPath) then
      raise EProject.CreateFmt('cannot rename %s to %s', [TempPath, ChmPath]);
  finally
    Feeder.Toc.Free;
    Feeder.Free;
    Project.Free;
  end;
end;

begin
  if ParamCount <> 2 then
  begin
    WriteLn(StdErr, 'usage: mkchm PROJECT.hhp OUTPUT.chm');
    Halt(2);
  end;
  try
    Build(ParamStr(1), ParamStr(2));
  except
    on E: Exception do
    begin
      WriteLn(StdErr, 'mkchm: ', E.Message);
      DeleteFile(ParamStr(2) + '.tmp');
      Halt(1);
    end;
  end;
end.
