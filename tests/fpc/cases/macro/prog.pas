program prog;

uses ZetaLib, AlphaLib;

{$MACRO ON}
{$DEFINE LevelText := Level}

begin
  WriteLn(LevelText);
end.
