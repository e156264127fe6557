unit Loud;
{$mode objfpc}
interface
procedure Shout(const AText: string);
implementation
procedure Shout(const AText: string); begin WriteLn(AText, '!'); end;
end.
