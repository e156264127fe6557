program prog;

uses ZetaLib, AlphaLib;

{$MACRO ON}
{$DEFINE LevelText := Level}

begin
  {$IF Level > 1}
  WriteLn('above one');
  {$ELSE}
  WriteLn('one');
  {$ENDIF}
end.
